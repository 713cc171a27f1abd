#include "render/startup_failures.h"

namespace {
int failures = 0;
}

void countStartUpFailure() {
    ++failures;
}

int startUpFailures() {
    return failures;
}
