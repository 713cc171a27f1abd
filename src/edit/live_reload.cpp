#include "edit/live_reload.h"

#include "ibl/ibl.h"
#include "render/gl.h"
#include "render/gl_state_snapshot.h"
#include "render/texture.h"
#include "scenes/resources.h"
#include "schedule/schedule.h"

#include <algorithm>
#include <iterator>
#include <sstream>

namespace {
// The files come from the program itself, which keeps the paths start-up built it from.
struct ProgramSource {
    Shader* shader;
    // The uniforms start-up sets once on this program, set the same way; null for none.
    void (*setStartUpUniforms)();
    // Part of the lighting precompute: its maps are rendered again once it builds.
    bool precompute;
};

void setLitStartUpUniforms() {
    setLitProgramConstants();
    setStartUpProjection();
}

// Every program the demo builds at start-up.
const std::vector<ProgramSource>& programSources() {
    static const std::vector<ProgramSource> sources = {
        {&titleShader, setSceneSamplerUnits, false},
        {&scene2Shader, nullptr, false},
        {&scene3Shader, nullptr, false},
        {&scene4Shader, setSceneSamplerUnits, false},
        {&scene5Shader, nullptr, false},
        {&scene6Shader, nullptr, false},
        {&pbrShader, setLitStartUpUniforms, false},
        {&equirectToCubemapShader, nullptr, true},
        {&irradianceShader, nullptr, true},
        {&prefilterShader, nullptr, true},
        {&brdfShader, nullptr, true},
        {&backgroundShader, setLitStartUpUniforms, false},
    };
    return sources;
}

// The textures start-up loads the scene pictures into, in their order.
unsigned int* const pictureTextures[] = {&logoTexture, &tarvoGreetsTexture, &greetsTexture};
static_assert(std::size(pictureTextures) == std::size(scenePictures));

bool contains(const std::vector<std::string>& files, const std::string& path) {
    return std::find(files.begin(), files.end(), path) != files.end();
}

std::string firstLine(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.find_first_not_of(" \t\r") != std::string::npos) {
            return line;
        }
    }
    return "does not build";
}

// The file to blame for a program that did not link, and the first line of the error: a stage
// that failed to compile, or else the link itself (blamed on the fragment file unless only the
// vertex file was saved).
std::string describeFailure(unsigned int program, const ProgramSource& source,
                            const std::vector<std::string>& saved) {
    GLuint stages[2] = {};
    GLsizei count = 0;
    glGetAttachedShaders(program, 2, &count, stages);
    char log[1024] = {};
    for (GLsizei i = 0; i < count; ++i) {
        GLint compiled = 0;
        glGetShaderiv(stages[i], GL_COMPILE_STATUS, &compiled);
        if (!compiled) {
            GLint type = 0;
            glGetShaderiv(stages[i], GL_SHADER_TYPE, &type);
            glGetShaderInfoLog(stages[i], sizeof log, nullptr, log);
            const std::string& file =
                type == GL_VERTEX_SHADER ? source.shader->vertexPath : source.shader->fragmentPath;
            return file + ": " + firstLine(log);
        }
    }
    glGetProgramInfoLog(program, sizeof log, nullptr, log);
    const Shader& shader = *source.shader;
    const std::string& file =
        contains(saved, shader.vertexPath) && !contains(saved, shader.fragmentPath)
            ? shader.vertexPath
            : shader.fragmentPath;
    return file + ": " + firstLine(log);
}

// Gives the new program every value the old one holds under a name and type they share: the
// uniforms the scene set on its last frame, so that the frame after the swap looks the same.
void copyUniforms(unsigned int from, unsigned int to) {
    GLint count = 0;
    glGetProgramiv(from, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; ++i) {
        char name[256] = {};
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(from, static_cast<GLuint>(i), sizeof name, nullptr, &size, &type, name);
        // Arrays ("lightPositions[0]") are copied element by element.
        std::string base = name;
        if (base.size() > 3 && base.compare(base.size() - 3, 3, "[0]") == 0) {
            base.resize(base.size() - 3);
        }
        for (GLint element = 0; element < size; ++element) {
            const std::string elementName =
                size > 1 ? base + "[" + std::to_string(element) + "]" : std::string(name);
            const GLint fromLocation = glGetUniformLocation(from, elementName.c_str());
            const GLint toLocation = glGetUniformLocation(to, elementName.c_str());
            if (fromLocation < 0 || toLocation < 0) {
                continue;
            }
            GLint toSize = 0;
            GLenum toType = 0;
            GLuint toIndex = GL_INVALID_INDEX;
            const char* lookup = name;
            glGetUniformIndices(to, 1, &lookup, &toIndex);
            if (toIndex == GL_INVALID_INDEX) {
                continue;
            }
            char ignored[1];
            glGetActiveUniform(to, toIndex, sizeof ignored, nullptr, &toSize, &toType, ignored);
            if (toType != type) {
                continue;
            }
            float values[16] = {};
            GLint integers[4] = {};
            switch (type) {
            case GL_FLOAT:
                glGetUniformfv(from, fromLocation, values);
                glUniform1fv(toLocation, 1, values);
                break;
            case GL_FLOAT_VEC2:
                glGetUniformfv(from, fromLocation, values);
                glUniform2fv(toLocation, 1, values);
                break;
            case GL_FLOAT_VEC3:
                glGetUniformfv(from, fromLocation, values);
                glUniform3fv(toLocation, 1, values);
                break;
            case GL_FLOAT_VEC4:
                glGetUniformfv(from, fromLocation, values);
                glUniform4fv(toLocation, 1, values);
                break;
            case GL_FLOAT_MAT3:
                glGetUniformfv(from, fromLocation, values);
                glUniformMatrix3fv(toLocation, 1, GL_FALSE, values);
                break;
            case GL_FLOAT_MAT4:
                glGetUniformfv(from, fromLocation, values);
                glUniformMatrix4fv(toLocation, 1, GL_FALSE, values);
                break;
            case GL_INT:
            case GL_BOOL:
            case GL_SAMPLER_2D:
            case GL_SAMPLER_CUBE:
                glGetUniformiv(from, fromLocation, integers);
                glUniform1i(toLocation, integers[0]);
                break;
            default:
                break;
            }
        }
    }
}

// The maps are rendered in the state start-up renders them in, not in whatever the scene left:
// filled triangles, no offsets, no smoothing or restart, no depth test.
void redoLighting() {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    for (GLenum cap :
         {GL_POLYGON_OFFSET_FILL, GL_POLYGON_OFFSET_LINE, GL_POLYGON_OFFSET_POINT, GL_LINE_SMOOTH,
          GL_PROGRAM_POINT_SIZE, GL_PRIMITIVE_RESTART, GL_DEPTH_TEST, GL_BLEND}) {
        glDisable(cap);
    }
    renderEnvironmentCubemap();
    renderIrradianceMap();
    renderPrefilterMap();
    renderBrdfLut();
}
} // namespace

std::vector<std::string> watchedFolders() {
    return {"labShaders", "labshaders", "imgs"};
}

ReloadOutcome reloadSavedFiles(const std::vector<std::string>& files) {
    ReloadOutcome outcome;
    const GlStateSnapshot before = readGlState();
    bool lightingChanged = false;

    for (const ProgramSource& source : programSources()) {
        const std::string vertexPath = source.shader->vertexPath;
        const std::string fragmentPath = source.shader->fragmentPath;
        if (!contains(files, vertexPath) && !contains(files, fragmentPath)) {
            continue;
        }
        outcome.triedFiles.push_back(vertexPath);
        outcome.triedFiles.push_back(fragmentPath);
        // Prints the same lines as a failed build at start-up.
        const Shader candidate(vertexPath.c_str(), fragmentPath.c_str());
        GLint linked = 0;
        glGetProgramiv(candidate.programId, GL_LINK_STATUS, &linked);
        if (!linked) {
            outcome.failures.push_back(describeFailure(candidate.programId, source, files));
            glDeleteProgram(candidate.programId);
            continue;
        }
        const unsigned int old = source.shader->programId;
        *source.shader = candidate;
        if (source.setStartUpUniforms != nullptr) {
            source.setStartUpUniforms();
        }
        glUseProgram(candidate.programId);
        copyUniforms(old, candidate.programId);
        glDeleteProgram(old);
        outcome.replacedPrograms.emplace_back(old, candidate.programId);
        outcome.rebuilt.push_back(fragmentPath);
        lightingChanged = lightingChanged || source.precompute;
    }

    for (size_t i = 0; i < std::size(pictureTextures); ++i) {
        if (contains(files, scenePictures[i])) {
            loadImageInto(*pictureTextures[i], scenePictures[i]);
        }
    }
    if (contains(files, skyPicture)) {
        loadSkyImage();
        lightingChanged = true;
    }
    if (lightingChanged) {
        redoLighting();
        outcome.lightingRedone = true;
    }

    // The program that was current may just have been replaced.
    GlStateSnapshot after = before;
    for (const auto& [old, replacement] : outcome.replacedPrograms) {
        if (after.program == static_cast<int>(old)) {
            after.program = static_cast<int>(replacement);
        }
    }
    restoreGlState(after);
    return outcome;
}
