#pragma once
#include "render/gl.h"

#include <vector>

// A small picture with the program's context, for tests that play stretches of the timeline: its
// frames are cheap on a software rasteriser, and the scenes' projections are 16:9 whatever the
// size.
constexpr int smallWidth = 480;
constexpr int smallHeight = 270;

// A small window, for the tests that need one: the window library is initialised here, and the
// window follows its size as the program's does.
GLFWwindow* openSmallWindow();

// The same with no window: a headless context drawing into a small offscreen target, bound.
// False when either cannot be made.
bool openSmallPicture();
// Start-up for the small picture's size, then the target bound again, as the recorder does.
void startUpSmallPicture();

// The small picture being read (the target, or the window's back buffer), RGBA, bottom row first.
std::vector<unsigned char> readSmallPicture();
