#include "edit/edit_overlay.h"

#include "render/gl.h"
#include "render/gl_state_snapshot.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stb_truetype.h>

namespace {
constexpr int atlasWidth = 512;
constexpr int atlasHeight = 256;
constexpr float fontPixels = 20.0f;
constexpr int firstChar = 32;
constexpr int charCount = 95;
constexpr float margin = 8.0f;
constexpr float lineHeight = 24.0f;

const char* vertexSource = R"(#version 330 core
layout(location = 0) in vec2 position; // pixels from the top left
layout(location = 1) in vec2 uv;       // negative: the box
layout(location = 2) in vec4 colour;
uniform vec2 screen;
out vec2 fragmentUv;
out vec4 fragmentColour;
void main() {
    fragmentUv = uv;
    fragmentColour = colour;
    gl_Position = vec4(position.x / screen.x * 2.0 - 1.0, 1.0 - position.y / screen.y * 2.0, 0.0, 1.0);
}
)";
const char* fragmentSource = R"(#version 330 core
in vec2 fragmentUv;
in vec4 fragmentColour;
uniform sampler2D font;
out vec4 result;
void main() {
    float coverage = fragmentUv.x < 0.0 ? 1.0 : texture(font, fragmentUv).r;
    result = vec4(fragmentColour.rgb, fragmentColour.a * coverage);
}
)";

unsigned int compile(GLenum type, const char* source) {
    const unsigned int stage = glCreateShader(type);
    glShaderSource(stage, 1, &source, nullptr);
    glCompileShader(stage);
    return stage;
}

struct Vertex {
    float x, y, u, v, r, g, b, a;
};

void addQuad(std::vector<Vertex>& out, float x0, float y0, float x1, float y1, float u0, float v0,
             float u1, float v1, const glm::vec4& c) {
    const Vertex corners[6] = {
        {x0, y0, u0, v0, c.r, c.g, c.b, c.a}, {x1, y0, u1, v0, c.r, c.g, c.b, c.a},
        {x1, y1, u1, v1, c.r, c.g, c.b, c.a}, {x0, y0, u0, v0, c.r, c.g, c.b, c.a},
        {x1, y1, u1, v1, c.r, c.g, c.b, c.a}, {x0, y1, u0, v1, c.r, c.g, c.b, c.a},
    };
    out.insert(out.end(), std::begin(corners), std::end(corners));
}
} // namespace

EditOverlay::EditOverlay() {
    std::ifstream file(overlayFontPath, std::ios::binary);
    const std::vector<unsigned char> font{std::istreambuf_iterator<char>(file), {}};
    std::vector<unsigned char> atlas(static_cast<size_t>(atlasWidth) * atlasHeight);
    glyphs.resize(sizeof(stbtt_bakedchar) * charCount);
    auto* baked = reinterpret_cast<stbtt_bakedchar*>(glyphs.data());
    if (font.empty() || stbtt_BakeFontBitmap(font.data(), 0, fontPixels, atlas.data(), atlasWidth,
                                             atlasHeight, firstChar, charCount, baked) <= 0) {
        std::cerr << "heptad: no overlay: cannot read the font " << overlayFontPath
                  << " (Debian package fonts-dejavu-core)" << std::endl;
        return;
    }

    const GlStateSnapshot saved = readGlState();
    glGenTextures(1, &fontTexture);
    glBindTexture(GL_TEXTURE_2D, fontTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, atlasWidth, atlasHeight, 0, GL_RED, GL_UNSIGNED_BYTE,
                 atlas.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);

    const unsigned int vertexStage = compile(GL_VERTEX_SHADER, vertexSource);
    const unsigned int fragmentStage = compile(GL_FRAGMENT_SHADER, fragmentSource);
    program = glCreateProgram();
    glAttachShader(program, vertexStage);
    glAttachShader(program, fragmentStage);
    glLinkProgram(program);
    glDeleteShader(vertexStage);
    glDeleteShader(fragmentStage);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        std::cerr << "heptad: no overlay: its program does not build here" << std::endl;
        glDeleteProgram(program);
        program = 0;
    }

    glGenVertexArrays(1, &vertexArray);
    glGenBuffers(1, &vertexBuffer);
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    const GLsizei stride = sizeof(Vertex);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(0));
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(2 * sizeof(float)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(2, 4, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(4 * sizeof(float)));
    glEnableVertexAttribArray(2);
    restoreGlState(saved);
}

void EditOverlay::draw(const std::vector<OverlayLine>& lines, int width, int height) {
    if (!ready() || lines.empty() || width <= 0 || height <= 0) {
        return;
    }
    const auto* baked = reinterpret_cast<const stbtt_bakedchar*>(glyphs.data());
    std::vector<Vertex> text;
    float widest = 0.0f;
    for (size_t i = 0; i < lines.size(); ++i) {
        float x = margin + 6.0f;
        float y = margin + lineHeight * static_cast<float>(i + 1) - 6.0f;
        for (char c : lines[i].text) {
            const int index = static_cast<unsigned char>(c) - firstChar;
            if (index < 0 || index >= charCount) {
                continue;
            }
            stbtt_aligned_quad q;
            stbtt_GetBakedQuad(baked, atlasWidth, atlasHeight, index, &x, &y, &q, 1);
            addQuad(text, q.x0, q.y0, q.x1, q.y1, q.s0, q.t0, q.s1, q.t1,
                    glm::vec4(lines[i].colour, 1.0f));
        }
        widest = std::max(widest, x);
    }
    std::vector<Vertex> vertices;
    addQuad(vertices, margin, margin, widest + 6.0f,
            margin + lineHeight * static_cast<float>(lines.size()) + 4.0f, -1.0f, -1.0f, -1.0f,
            -1.0f, glm::vec4(0.0f, 0.0f, 0.0f, 0.65f));
    vertices.insert(vertices.end(), text.begin(), text.end());

    const GlStateSnapshot saved = readGlState();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, width, height);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glUseProgram(program);
    glUniform2f(glGetUniformLocation(program, "screen"), static_cast<float>(width),
                static_cast<float>(height));
    glUniform1i(glGetUniformLocation(program, "font"), 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, fontTexture);
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(Vertex)),
                 vertices.data(), GL_STREAM_DRAW);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertices.size()));
    restoreGlState(saved);
}
