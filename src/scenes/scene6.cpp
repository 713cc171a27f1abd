#include "scenes/scenes.h"

void drawScene6(float) {}
