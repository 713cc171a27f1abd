#pragma once

// Loads an 8-bit image (PNG, JPEG, ...) into a new mipmapped, repeating 2D texture, flipped so
// the first row is the bottom of the picture. The texture stays bound on the active unit. A
// file that cannot be decoded is reported and yields a name with no image (samples black).
unsigned int loadImageTexture(const char* path);

// GL format for an 8-bit image of the given channel count: grey in red, grey and alpha in red
// and green, RGB, RGBA; 0 for any other count.
unsigned int imageFormatForChannels(int channels);
