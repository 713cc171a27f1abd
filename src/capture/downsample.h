#pragma once
#include <vector>

// The filter of --supersample: a picture rendered at `factor` times the size both ways is
// brought down to width x height by averaging each factor x factor block (a box filter).
// The average is taken in linear light, as the eye and a camera add light, not over the
// gamma-encoded values, so a thin bright edge keeps its brightness. Alpha is averaged as is.
// `rgba` holds (width * factor) x (height * factor) pixels.
void downsampleBox(const unsigned char* rgba, int width, int height, int factor,
                   std::vector<unsigned char>& out);
