#include "scenes/scenes.h"

void drawScene5(float) {}
