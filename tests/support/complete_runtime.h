#pragma once
#include <string>

// A copy of the runtime folder's data (shaders, images, the HDR sky, the music) in a fresh
// temporary folder, for whole-run checks that change into it. The build makes every one of these
// files, so one that is missing fails the test that asked for the copy.
struct CompleteRuntime {
    std::string folder;
};
CompleteRuntime makeCompleteRuntime();
