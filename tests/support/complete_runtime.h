#pragma once
#include <string>
#include <vector>

// A copy of the runtime folder's data (shaders, images, the HDR sky, the music) in a fresh
// temporary folder, where every file this checkout does not provide yet is replaced by a plain
// stand-in: a trivial shader, a small picture, a small sky. Whole-run checks then see a start-up
// that prints nothing, whichever data the build has generated so far.
struct CompleteRuntime {
    std::string folder;
    std::vector<std::string> standIns; // the paths that got a stand-in
};
CompleteRuntime makeCompleteRuntime();
