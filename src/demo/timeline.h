#pragma once
#include "schedule/schedule.h"

// Runs the one scene whose window holds demoTime, if any.
void runTimeline(float demoTime);
