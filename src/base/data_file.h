#pragma once
#include <cstdio>
#include <string>

// The demo's data files (shaders, pictures, the sky, the music) come from a folder that anyone
// may have filled. Only a regular file of a bounded size is read: a folder reads as nothing, a
// FIFO blocks whoever opens it until a writer comes, and a device such as /dev/zero never ends.
// Each kind of file has its own cap, well above what the demo's own files need.

// Opens path for binary reading when it is a regular file of at most maxBytes; otherwise null
// (also when it does not exist or cannot be opened). Never blocks on a FIFO.
std::FILE* openDataFile(const char* path, long long maxBytes);

// Why path is not a data file of at most maxBytes: "not a regular file: PATH" or "larger than N
// bytes: PATH". Empty when it is one, or when it cannot be looked at (a missing file), so that
// opening it reports as usual.
std::string dataFileRefusal(const char* path, long long maxBytes);
