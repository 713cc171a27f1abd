#pragma once
#include <string>
#include <vector>

// Edit mode's reload of saved data files, between two frames: a shader file rebuilds the
// programs built from it, a picture is decoded again into its own texture, and a change to the
// lighting precompute (one of its shaders, or the HDR sky) renders its maps again. Every GL
// binding and enable is as it was afterwards.

struct ReloadOutcome {
    // Programs whose new build replaced the old one (by fragment file).
    std::vector<std::string> rebuilt;
    // Both files of every program built again, whether it built or not.
    std::vector<std::string> triedFiles;
    // One line per file whose program did not build (it keeps drawing with the old one): the
    // file and the first line of the driver's error.
    std::vector<std::string> failures;
    bool lightingRedone = false;
    // Ids of programs that were replaced, old and new in pairs.
    std::vector<std::pair<unsigned int, unsigned int>> replacedPrograms;
};

// The data files (paths relative to the working folder, as the program opens them) that edit
// mode watches, and the folders that hold them.
std::vector<std::string> watchedFolders();

// Reloads what these saved files feed. A file the demo does not read is ignored. The build
// errors of a shader that fails are printed as at start-up.
ReloadOutcome reloadSavedFiles(const std::vector<std::string>& files);
