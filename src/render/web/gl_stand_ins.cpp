#include "render/web/gl_stand_ins.h"

#include "render/web/polygon_edges.h"
#include "render/web/shader_dialect.h"

#include <string>
#include <vector>

// Emscripten's WebGL 2 library has it; the ES 3.0 header does not declare it.
extern "C" void glGetBufferSubData(GLenum target, GLintptr offset, GLsizeiptr size, void* data);

namespace {
GLenum polygonMode = GL_FILL;
unsigned int lineElements = 0;

bool webKnowsCap(GLenum cap) {
    switch (cap) {
    case GL_LINE_SMOOTH:
    case GL_POLYGON_OFFSET_POINT:
    case GL_POLYGON_OFFSET_LINE:
    case GL_PROGRAM_POINT_SIZE:
    case GL_PRIMITIVE_RESTART:
    case GL_TEXTURE_CUBE_MAP_SEAMLESS:
    case GL_FRAMEBUFFER_SRGB:
        return false;
    default:
        return true;
    }
}

bool isTriangles(GLenum mode) {
    return mode == GL_TRIANGLES || mode == GL_TRIANGLE_STRIP;
}

// Draws the edge pairs from a scratch element buffer, then gives the vertex array back the
// element buffer it had.
void drawLines(const std::vector<unsigned int>& lines) {
    GLint elementsBefore = 0;
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &elementsBefore);
    if (lineElements == 0) {
        glGenBuffers(1, &lineElements);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, lineElements);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, lines.size() * sizeof(unsigned int), lines.data(),
                 GL_STREAM_DRAW);
    glDrawElements(GL_LINES, static_cast<GLsizei>(lines.size()), GL_UNSIGNED_INT, nullptr);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLuint>(elementsBefore));
}

// The index values of an element draw, read back from the bound element buffer. Every element
// draw of the demo reads 32-bit indices from one.
std::vector<unsigned int> boundIndices(GLsizei count, const void* offset) {
    std::vector<unsigned int> vertices(static_cast<std::size_t>(count));
    glGetBufferSubData(GL_ELEMENT_ARRAY_BUFFER, reinterpret_cast<GLintptr>(offset),
                       count * sizeof(unsigned int), vertices.data());
    return vertices;
}
} // namespace

void webEnable(GLenum cap) {
    if (webKnowsCap(cap)) {
        glEnable(cap);
    }
}

void webDisable(GLenum cap) {
    if (webKnowsCap(cap)) {
        glDisable(cap);
    }
}

void webPolygonMode(GLenum, GLenum mode) {
    polygonMode = mode;
}

GLboolean webIsEnabled(GLenum cap) {
    return webKnowsCap(cap) ? glIsEnabled(cap) : GL_FALSE;
}

void webGetIntegerv(GLenum name, GLint* values) {
    if (name == GL_POLYGON_MODE) {
        values[0] = static_cast<GLint>(polygonMode);
        values[1] = static_cast<GLint>(polygonMode);
    } else {
        glGetIntegerv(name, values);
    }
}

void webDrawArrays(GLenum mode, GLint first, GLsizei count) {
    if (polygonMode == GL_FILL || !isTriangles(mode)) {
        glDrawArrays(mode, first, count);
    } else if (polygonMode == GL_POINT) {
        glDrawArrays(GL_POINTS, first, count);
    } else {
        std::vector<unsigned int> vertices(static_cast<std::size_t>(count));
        for (GLsizei i = 0; i < count; ++i) {
            vertices[i] = static_cast<unsigned int>(first + i);
        }
        drawLines(triangleEdgeLines(mode, vertices));
    }
}

void webDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices) {
    if (polygonMode == GL_FILL || !isTriangles(mode) || type != GL_UNSIGNED_INT) {
        glDrawElements(mode, count, type, indices);
    } else if (polygonMode == GL_POINT) {
        glDrawElements(GL_POINTS, count, type, indices);
    } else {
        drawLines(triangleEdgeLines(mode, boundIndices(count, indices)));
    }
}

void webTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                   GLint border, GLenum format, GLenum type, const void* pixels) {
    if (internalFormat == GL_RGB16F && pixels == nullptr) {
        internalFormat = GL_RGBA16F;
        format = GL_RGBA;
    } else if (internalFormat == GL_RED && type == GL_UNSIGNED_BYTE) {
        internalFormat = GL_R8;
    } else if (internalFormat == GL_RG && type == GL_UNSIGNED_BYTE) {
        internalFormat = GL_RG8;
    }
    glTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
}

void webShaderSource(GLuint shader, GLsizei count, const GLchar* const* sources,
                     const GLint* lengths) {
    std::string source;
    for (GLsizei i = 0; i < count; ++i) {
        source += lengths == nullptr || lengths[i] < 0 ? std::string(sources[i])
                                                       : std::string(sources[i], lengths[i]);
    }
    const std::string esSource = toEsDialect(source);
    const GLchar* esText = esSource.c_str();
    glShaderSource(shader, 1, &esText, nullptr);
}
