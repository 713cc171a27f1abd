#include "capture/startup_report.h"

#include <cstdio>
#include <initializer_list>
#include <iostream>
#include <unistd.h>

int countFailureLines(const std::string& output) {
    int failures = 0;
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find('\n', start);
        if (end == std::string::npos) {
            end = output.size();
        }
        const std::string line = output.substr(start, end - start);
        for (const char* prefix :
             {"ERROR::", "Texture failed to load at path: ", "failure load image hdr."}) {
            if (line.rfind(prefix, 0) == 0) {
                ++failures;
                break;
            }
        }
        start = end + 1;
    }
    return failures;
}

StartUpReport runCatchingOutput(const std::function<void()>& startUp) {
    StartUpReport report;
    std::cout.flush();
    std::fflush(stdout);
    // A file rather than a pipe: nothing has to read while start-up writes.
    std::FILE* caught = std::tmpfile();
    const int saved = caught != nullptr ? dup(1) : -1;
    if (saved == -1 || dup2(fileno(caught), 1) == -1) {
        if (caught != nullptr) {
            std::fclose(caught);
        }
        startUp(); // uncaught, and so unchecked, rather than not at all
        return report;
    }
    startUp();
    std::cout.flush();
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    std::rewind(caught);
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, caught)) > 0) {
        report.output.append(buffer, n);
    }
    std::fclose(caught);
    std::fwrite(report.output.data(), 1, report.output.size(), stdout);
    std::fflush(stdout);
    report.failures = countFailureLines(report.output);
    return report;
}
