#pragma once
#include <string>

// Where the recorder finds the demo's data. The demo opens its shaders, pictures and music by
// relative path, so it must run in the folder that holds them.

// Whether a folder holds the demo's data: both shader folders and the pictures.
bool holdsDemoData(const std::string& folder);
// The folder of the running program file, "" if the system does not say.
std::string programFolder();
// A relative path made to name the same file from another working folder.
std::string pathFromWorkingFolder(const std::string& path);
