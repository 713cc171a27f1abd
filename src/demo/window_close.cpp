#include "demo/window_close.h"

#include "audio/sound_engine.h"
#include "base/stop_signal.h"
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
