#include "render/gl_state_snapshot.h"

#include "render/gl.h"

namespace {
constexpr GLenum caps[GlStateSnapshot::capCount] = {
    GL_LINE_SMOOTH,
    GL_POLYGON_OFFSET_LINE,
    GL_POLYGON_OFFSET_POINT,
    GL_POLYGON_OFFSET_FILL,
    GL_PROGRAM_POINT_SIZE,
    GL_PRIMITIVE_RESTART,
    GL_DEPTH_TEST,
    GL_BLEND,
    GL_TEXTURE_CUBE_MAP_SEAMLESS,
    GL_CULL_FACE,
    GL_SCISSOR_TEST,
    GL_STENCIL_TEST,
    GL_FRAMEBUFFER_SRGB,
    GL_RASTERIZER_DISCARD,
};

int integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

void setEnabled(GLenum cap, bool on) {
    if (on) {
        glEnable(cap);
    } else {
        glDisable(cap);
    }
}
} // namespace

GlStateSnapshot readGlState() {
    GlStateSnapshot s;
    for (int i = 0; i < GlStateSnapshot::capCount; ++i) {
        s.enabled[i] = glIsEnabled(caps[i]);
    }
    glGetFloatv(GL_POLYGON_OFFSET_FACTOR, &s.offsetFactor);
    glGetFloatv(GL_POLYGON_OFFSET_UNITS, &s.offsetUnits);
    // Core contexts keep one mode for both faces; the query still writes two values.
    GLint modes[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    s.polygonMode = modes[0];
    glGetFloatv(GL_LINE_WIDTH, &s.lineWidth);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, s.clearColor.data());
    glGetBooleanv(GL_COLOR_WRITEMASK, s.colourMask.data());
    s.depthFunc = integer(GL_DEPTH_FUNC);
    glGetIntegerv(GL_VIEWPORT, s.viewport.data());
    s.program = integer(GL_CURRENT_PROGRAM);
    s.vertexArray = integer(GL_VERTEX_ARRAY_BINDING);
    s.arrayBuffer = integer(GL_ARRAY_BUFFER_BINDING);
    s.packBuffer = integer(GL_PIXEL_PACK_BUFFER_BINDING);
    s.unpackBuffer = integer(GL_PIXEL_UNPACK_BUFFER_BINDING);
    s.drawFramebuffer = integer(GL_DRAW_FRAMEBUFFER_BINDING);
    s.readFramebuffer = integer(GL_READ_FRAMEBUFFER_BINDING);
    s.renderbuffer = integer(GL_RENDERBUFFER_BINDING);
    s.activeTexture = integer(GL_ACTIVE_TEXTURE);
    for (int unit = 0; unit < GlStateSnapshot::units; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        s.texture2D[unit] = integer(GL_TEXTURE_BINDING_2D);
        s.textureCube[unit] = integer(GL_TEXTURE_BINDING_CUBE_MAP);
    }
    glActiveTexture(s.activeTexture);
    s.blendSource = integer(GL_BLEND_SRC_ALPHA);
    s.blendDestination = integer(GL_BLEND_DST_ALPHA);
    s.unpackAlignment = integer(GL_UNPACK_ALIGNMENT);
    return s;
}

void restoreGlState(const GlStateSnapshot& s) {
    for (int i = 0; i < GlStateSnapshot::capCount; ++i) {
        setEnabled(caps[i], s.enabled[i] != 0);
    }
    glPolygonOffset(s.offsetFactor, s.offsetUnits);
    glPolygonMode(GL_FRONT_AND_BACK, s.polygonMode);
    glLineWidth(s.lineWidth);
    glClearColor(s.clearColor[0], s.clearColor[1], s.clearColor[2], s.clearColor[3]);
    glColorMask(s.colourMask[0], s.colourMask[1], s.colourMask[2], s.colourMask[3]);
    glDepthFunc(s.depthFunc);
    glViewport(s.viewport[0], s.viewport[1], s.viewport[2], s.viewport[3]);
    glUseProgram(s.program);
    glBindVertexArray(s.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, s.arrayBuffer);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, s.packBuffer);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, s.unpackBuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, s.drawFramebuffer);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, s.readFramebuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, s.renderbuffer);
    for (int unit = 0; unit < GlStateSnapshot::units; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, s.texture2D[unit]);
        glBindTexture(GL_TEXTURE_CUBE_MAP, s.textureCube[unit]);
    }
    glActiveTexture(s.activeTexture);
    glBlendFunc(s.blendSource, s.blendDestination);
    glPixelStorei(GL_UNPACK_ALIGNMENT, s.unpackAlignment);
}
