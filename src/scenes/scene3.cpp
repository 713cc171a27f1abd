#include "scenes/scenes.h"

void drawScene3(float) {}
