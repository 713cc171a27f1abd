#pragma once
#include <string>

// The recorder's OpenGL 3.3 core context, made through EGL with no window, no surface and no X
// server: on a GPU when EGL lists one (or on the device `gpu` names), else on Mesa's software
// renderer through its surfaceless platform. Frames are drawn into an OffscreenTarget.
class HeadlessGl {
  public:
    HeadlessGl() = default;
    HeadlessGl(const HeadlessGl&) = delete;
    HeadlessGl& operator=(const HeadlessGl&) = delete;
    ~HeadlessGl();

    // Makes the context current on this thread. gpu is an index into EGL's list of devices, or
    // -1 to take the first hardware one. False with one line saying why.
    bool create(int gpu, std::string& error);
    // Where the context came from: "EGL device N" or "Mesa's surfaceless EGL platform".
    const std::string& origin() const { return made; }

  private:
    void* display = nullptr;
    void* context = nullptr;
    std::string made;
    bool open(void* platformDisplay);
};
