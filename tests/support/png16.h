#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A PNG file with 16 bits per channel (1 to 4 channels, samples row by row from the top), which
// stb_image_write cannot make. Stored without compression: only the decoder's path matters.
std::string encodePng16(int width, int height, int channels, const std::vector<uint16_t>& samples);
