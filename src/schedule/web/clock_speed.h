#pragma once

// The browser build's clock runs this many times as fast as real time (1 unless a test asks).
void setClockSpeed(double speed);
