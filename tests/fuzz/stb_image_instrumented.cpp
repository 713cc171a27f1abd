// stb_image's decoders, compiled here with the fuzzer's instrumentation instead of taken from
// the system's shared library.
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
