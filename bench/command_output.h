#pragma once
// What a shell command prints, standard output and error together, for the benchmarks that run
// the recorder or ffmpeg and read their reports.
#include <cstdio>
#include <string>

inline std::string commandOutput(const std::string& command) {
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return output;
    }
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, n);
    }
    pclose(pipe);
    return output;
}
