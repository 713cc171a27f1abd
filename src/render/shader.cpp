#include "render/shader.h"

#include "base/data_file.h"
#include "render/gl.h"
#include "render/startup_failures.h"

#include <fstream>
#include <iostream>
#include <sstream>

namespace {
// The demo's largest shader is a few kilobytes.
constexpr long long maxShaderBytes = 1ll << 20;

// Opens a shader file the way a missing one fails: a folder, FIFO, device or outsized file
// raises the stream failure that a file which cannot be opened raises.
void openShaderFile(std::ifstream& file, const char* path) {
    const std::string refusal = dataFileRefusal(path, maxShaderBytes);
    if (!refusal.empty()) {
        throw std::ifstream::failure(refusal);
    }
    file.open(path);
}
} // namespace

Shader::Shader(const char* vertexPath, const char* fragmentPath)
    : vertexPath(vertexPath), fragmentPath(fragmentPath) {
    std::string vertexCode;
    std::string fragmentCode;
    std::ifstream vertexFile;
    std::ifstream fragmentFile;
    // A file that cannot be opened throws at once, so the fragment file is then never opened.
    vertexFile.exceptions(std::ifstream::failbit | std::ifstream::badbit);
    fragmentFile.exceptions(std::ifstream::failbit | std::ifstream::badbit);
    try {
        openShaderFile(vertexFile, vertexPath);
        openShaderFile(fragmentFile, fragmentPath);
        std::stringstream vertexStream;
        std::stringstream fragmentStream;
        vertexStream << vertexFile.rdbuf();
        fragmentStream << fragmentFile.rdbuf();
        vertexFile.close();
        fragmentFile.close();
        // Taken out only once both files are read: a failure of either leaves both empty.
        vertexCode = vertexStream.str();
        fragmentCode = fragmentStream.str();
    } catch (const std::ifstream::failure& error) {
        std::cout << "ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ: " << error.what() << std::endl;
        countStartUpFailure();
    }

    const char* vertexSource = vertexCode.c_str();
    unsigned int vertexStage = glCreateShader(GL_VERTEX_SHADER);
    glShaderSource(vertexStage, 1, &vertexSource, nullptr);
    glCompileShader(vertexStage);
    reportBuildErrors(vertexStage, "VERTEX");

    const char* fragmentSource = fragmentCode.c_str();
    unsigned int fragmentStage = glCreateShader(GL_FRAGMENT_SHADER);
    glShaderSource(fragmentStage, 1, &fragmentSource, nullptr);
    glCompileShader(fragmentStage);
    reportBuildErrors(fragmentStage, "FRAGMENT");

    programId = glCreateProgram();
    glAttachShader(programId, vertexStage);
    glAttachShader(programId, fragmentStage);
    glLinkProgram(programId);
    reportBuildErrors(programId, "PROGRAM");

    // The stages stay attached, so the program keeps them alive.
    glDeleteShader(vertexStage);
    glDeleteShader(fragmentStage);
}

void Shader::activate() const {
    glUseProgram(programId);
}

void Shader::setUniformInt(const std::string& name, int value) const {
    glUniform1i(glGetUniformLocation(programId, name.c_str()), value);
}

void Shader::setUniformFloat(const std::string& name, float value) const {
    glUniform1f(glGetUniformLocation(programId, name.c_str()), value);
}

void Shader::setUniformVec3(const std::string& name, const glm::vec3& value) const {
    glUniform3fv(glGetUniformLocation(programId, name.c_str()), 1, &value[0]);
}

void Shader::setUniformVec3(const std::string& name, float x, float y, float z) const {
    glUniform3f(glGetUniformLocation(programId, name.c_str()), x, y, z);
}

void Shader::setUniformMat4(const std::string& name, const glm::mat4& value) const {
    glUniformMatrix4fv(glGetUniformLocation(programId, name.c_str()), 1, GL_FALSE, &value[0][0]);
}

void Shader::reportBuildErrors(unsigned int object, const std::string& kind) {
    int success = 0;
    char infoLog[1024] = {};
    if (kind != "PROGRAM") {
        glGetShaderiv(object, GL_COMPILE_STATUS, &success);
        if (success) {
            return;
        }
        glGetShaderInfoLog(object, 1024, nullptr, infoLog);
        std::cout << "ERROR::SHADER_COMPILATION_ERROR of type: " << kind;
    } else {
        glGetProgramiv(object, GL_LINK_STATUS, &success);
        if (success) {
            return;
        }
        glGetProgramInfoLog(object, 1024, nullptr, infoLog);
        std::cout << "ERROR::PROGRAM_LINKING_ERROR of type: " << kind;
    }
    countStartUpFailure();
    std::cout << "\n"
              << infoLog << "\n -- --------------------------------------------------- -- "
              << std::endl;
}
