#include "scenes/scenes.h"

void drawFinale(float) {}
