#include "scenes/scenes.h"

void drawScene4(float) {}
