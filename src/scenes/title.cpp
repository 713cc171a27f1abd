#include "scenes/scenes.h"

void drawTitleScene(float) {}
