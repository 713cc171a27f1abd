// The desktop build links Debian's compiled stb library; the browser build compiles the image
// decoder from the same header.
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
