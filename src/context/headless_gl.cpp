#include "context/headless_gl.h"

#include <cstdio>
#include <cstring>
#include <epoxy/egl.h>
#include <vector>

namespace {
// The devices EGL can list, each one a GPU or Mesa's software renderer; none where the EGL
// vendor library cannot list them.
std::vector<EGLDeviceEXT> listDevices() {
    if (!epoxy_has_egl_extension(EGL_NO_DISPLAY, "EGL_EXT_platform_device") ||
        (!epoxy_has_egl_extension(EGL_NO_DISPLAY, "EGL_EXT_device_enumeration") &&
         !epoxy_has_egl_extension(EGL_NO_DISPLAY, "EGL_EXT_device_base"))) {
        return {};
    }
    EGLint count = 0;
    if (!eglQueryDevicesEXT(0, nullptr, &count) || count <= 0) {
        return {};
    }
    std::vector<EGLDeviceEXT> devices(static_cast<size_t>(count));
    eglQueryDevicesEXT(count, devices.data(), &count);
    devices.resize(static_cast<size_t>(count));
    return devices;
}

// A GPU: a device that is not Mesa's software renderer (which has no DRM device file).
bool isHardware(EGLDeviceEXT device) {
    const char* extensions = eglQueryDeviceStringEXT(device, EGL_EXTENSIONS);
    return extensions != nullptr && std::strstr(extensions, "EGL_MESA_device_software") == nullptr;
}

std::string hex(EGLint code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04x", static_cast<unsigned>(code));
    return text;
}

// Initialises the display and makes a 3.3 core context current on it with no surface; the
// picture goes to a framebuffer object, so no surface (and no config's colour format) is used.
// The context lasts as long as the recorder. A failure's EGL error is kept in openError, read
// before the clean-up, whose eglTerminate resets it to success.
EGLint openError = EGL_SUCCESS;
bool open(EGLDisplay candidate, bool debug) {
    EGLConfig config = nullptr;
    EGLint configs = 0;
    const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                             EGL_NONE};
    // The debug attribute only when asked, so that the recorder asks for what it always has.
    const EGLint version[] = {EGL_CONTEXT_MAJOR_VERSION,
                              3,
                              EGL_CONTEXT_MINOR_VERSION,
                              3,
                              EGL_CONTEXT_OPENGL_PROFILE_MASK,
                              EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                              debug ? EGL_CONTEXT_OPENGL_DEBUG : EGL_NONE,
                              EGL_TRUE,
                              EGL_NONE};
    if (candidate == EGL_NO_DISPLAY || !eglInitialize(candidate, nullptr, nullptr)) {
        openError = eglGetError();
        return false;
    }
    EGLContext made = EGL_NO_CONTEXT;
    if (eglBindAPI(EGL_OPENGL_API) && eglChooseConfig(candidate, wanted, &config, 1, &configs) &&
        configs == 1) {
        made = eglCreateContext(candidate, config, EGL_NO_CONTEXT, version);
    }
    if (made != EGL_NO_CONTEXT && eglMakeCurrent(candidate, EGL_NO_SURFACE, EGL_NO_SURFACE, made)) {
        return true;
    }
    openError = eglGetError();
    if (made != EGL_NO_CONTEXT) {
        eglDestroyContext(candidate, made);
    }
    eglTerminate(candidate);
    return false;
}
} // namespace

std::string makeHeadlessContext(int gpu, std::string& error, bool debug) {
    if (!epoxy_has_egl()) {
        error = "no EGL library (libEGL.so.1) to make an OpenGL context with: install the "
                "libegl1 and libegl-mesa0 packages";
        return "";
    }
    const std::vector<EGLDeviceEXT> devices = listDevices();
    if (gpu >= static_cast<int>(devices.size())) {
        error = "--gpu " + std::to_string(gpu) + ": EGL lists " + std::to_string(devices.size()) +
                " device(s), numbered from 0";
        return "";
    }
    // The device asked for, or else the first GPU that makes a context.
    for (size_t i = 0; i < devices.size(); ++i) {
        const bool chosen = gpu >= 0 ? i == static_cast<size_t>(gpu) : isHardware(devices[i]);
        if (chosen &&
            open(eglGetPlatformDisplayEXT(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr), debug)) {
            return "EGL device " + std::to_string(i);
        }
    }
    if (gpu >= 0) {
        error = "EGL device " + std::to_string(gpu) + " offers no OpenGL 3.3 core context (EGL " +
                "error " + hex(openError) + ")";
        return "";
    }
    // Mesa's software renderer, which needs neither a device file nor a display.
    if (!epoxy_has_egl_extension(EGL_NO_DISPLAY, "EGL_MESA_platform_surfaceless")) {
        error = "EGL offers no GPU that makes an OpenGL 3.3 core context, and no software "
                "renderer: install the libegl-mesa0 package for Mesa's";
        return "";
    }
    if (open(eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr),
             debug)) {
        return "Mesa's surfaceless EGL platform";
    }
    error = "EGL offers no OpenGL 3.3 core context on a GPU or on Mesa's surfaceless platform "
            "(EGL error " +
            hex(openError) + ")";
    return "";
}
