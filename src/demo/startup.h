#pragma once

// The one-time work between a current context and the first frame: global GL state, the
// image-based lighting precompute, then the scene resources. The viewport is left covering a
// framebuffer of this size.
void runStartUp(int framebufferWidth, int framebufferHeight);
