#include "app/window_close.h"

#include "app/stop_signal.h"
#include "audio/sound_engine.h"
#include "render/gl.h"
#include "scenes/resources.h"

int endAfterWindowClose() {
    deleteSpareCube();
    soundEngine->close();
    glfwTerminate();
    if (stopSignal() != 0) {
        dieOfStopSignal();
    }
    return 0;
}
