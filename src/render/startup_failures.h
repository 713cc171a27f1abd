#pragma once

// Start-up goes on past a file it cannot read, a shader that does not build or a picture that
// does not load, after saying so on standard output. Each of those is also counted here, where
// it happens, so that the recorder can refuse to record a demo that would not show.
void countStartUpFailure();
int startUpFailures();
