#pragma once
#include <string>

// Captures everything written to standard output (std::cout and stdio alike) between
// construction and finish(), by pointing file descriptor 1 at a temporary file.
class StdoutCapture {
  public:
    StdoutCapture();
    ~StdoutCapture();
    std::string finish();

  private:
    int savedFd = -1;
    std::string path;
};

// Writes text to a fresh file under the test's temporary folder and returns its path.
std::string writeTempFile(const std::string& name, const std::string& text);
