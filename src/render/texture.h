#pragma once

// Loads an 8-bit image (PNG, JPEG, ...) into a new mipmapped, repeating 2D texture, flipped so
// the first row is the bottom of the picture. The texture stays bound on the active unit. A
// file that cannot be decoded, or that is larger than GL's largest texture, is reported and
// yields a name with no image (samples black).
unsigned int loadImageTexture(const char* path);
