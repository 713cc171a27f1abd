#pragma once
#include "capture/child_process.h"

#include <string>

// A private Xvfb server for machines without a display: started on a display number the server
// picks itself, named in DISPLAY for the window library, and stopped when this object goes.
class VirtualDisplay {
  public:
    // Starts "Xvfb" from PATH with one screen of the given size; false with a reason if it
    // cannot be found or does not come up.
    bool start(int width, int height, std::string& error);
    const std::string& name() const { return displayName; }

  private:
    ChildProcess server;
    std::string displayName;
};
