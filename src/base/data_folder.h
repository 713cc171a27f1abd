#pragma once
#include <string>

// Where the programs find the demo's data. The demo opens its shaders, pictures and music by
// relative path, so it runs in the folder that holds them: the folder it was started in when that
// holds them, else the program's own folder (a build's runtime folder), else share/heptad of the
// prefix the program is installed under (bin/../share/heptad: an installed or unpacked package).

// Whether a folder holds the demo's data: both shader folders and the pictures.
bool holdsDemoData(const std::string& folder);
// The folder of the running program file, "" if the system does not say.
std::string programFolder();
// The first folder holding the data for a program in programFolder: that folder itself, or the
// installed data relative to it, as an absolute path without "..". "" when neither holds it.
std::string dataFolderFor(const std::string& programFolder);
// A relative path made to name the same file from another working folder.
std::string pathFromWorkingFolder(const std::string& path);
