#pragma once

// Loads a PNG image into a new mipmapped, repeating 2D texture, flipped so
// the first row is the bottom of the picture. The texture stays bound on the active unit. A
// file that is not a PNG or cannot be decoded, or that is larger than GL's largest texture, is
// reported and yields a name with no image (samples black).
unsigned int loadImageTexture(const char* path);

// Decodes the picture at path into the existing texture textureId, as loadImageTexture does; the
// texture is left bound on the active unit. A picture that cannot be read is reported as there
// and leaves the texture as it was. Returns whether the picture was taken.
bool loadImageInto(unsigned int textureId, const char* path);
