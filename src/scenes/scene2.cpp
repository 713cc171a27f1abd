#include "scenes/scenes.h"

void drawScene2(float) {}
