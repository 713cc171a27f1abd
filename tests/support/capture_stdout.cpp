#include "support/capture_stdout.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <sstream>
#include <unistd.h>

namespace {
std::string tempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp != nullptr ? tmp : "/tmp");
}
} // namespace

StdoutCapture::StdoutCapture() {
    std::cout.flush();
    std::fflush(stdout);
    path = tempFolder() + "/heptad-stdout-" + std::to_string(getpid()) + ".txt";
    const int fd = open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
    savedFd = dup(1);
    dup2(fd, 1);
    close(fd);
}

StdoutCapture::~StdoutCapture() {
    if (savedFd >= 0) {
        finish();
    }
}

std::string StdoutCapture::finish() {
    if (savedFd < 0) {
        return "";
    }
    std::cout.flush();
    std::fflush(stdout);
    dup2(savedFd, 1);
    close(savedFd);
    savedFd = -1;
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    std::remove(path.c_str());
    return text.str();
}

std::string writeTempFile(const std::string& name, const std::string& text) {
    const std::string filePath = tempFolder() + "/heptad-" + std::to_string(getpid()) + "-" + name;
    std::ofstream out(filePath, std::ios::binary);
    out << text;
    return filePath;
}
