#pragma once
#include "render/gl.h"

#include <vector>

// A small window with the program's context, for tests that play stretches of the timeline: its
// frames are cheap on a software rasteriser, and the scenes' projections are 16:9 whatever the
// size. The window library is initialised here; the window follows its size as the program's does.
constexpr int smallWidth = 480;
constexpr int smallHeight = 270;
GLFWwindow* openSmallWindow();

// The small window's back buffer, RGBA, bottom row first.
std::vector<unsigned char> readSmallPicture();
