#pragma once
#include <glm/glm.hpp>
#include <string>

// One linked GL program built from a vertex file and a fragment file. A plain value: copying
// it copies the program name, and nothing ever deletes the program.
class Shader {
  public:
    unsigned int programId = 0;
    // The files it was built from, as given: what edit mode watches to build it again.
    std::string vertexPath;
    std::string fragmentPath;

    Shader() = default;
    // Always yields a fresh program name; read, compile and link failures are printed and the
    // program is kept as it is.
    Shader(const char* vertexPath, const char* fragmentPath);

    void activate() const;

    // The setters look the location up by name on every call and write into whichever program
    // is current, so callers activate first. An unknown name is location -1, which GL ignores.
    void setUniformInt(const std::string& name, int value) const;
    void setUniformFloat(const std::string& name, float value) const;
    void setUniformVec3(const std::string& name, const glm::vec3& value) const;
    void setUniformVec3(const std::string& name, float x, float y, float z) const;
    void setUniformMat4(const std::string& name, const glm::mat4& value) const;

  private:
    static void reportBuildErrors(unsigned int object, const std::string& kind);
};
