#pragma once
// A throw-away working folder for the lighting precompute: copies of the shader folders and an
// HDR sky of the test's own making at "imgs/vellmar.512.hdr". While it lives the process works
// in it; the previous working folder comes back when it goes out of scope.
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <glm/glm.hpp>
#include <stb_image_write.h>
#include <string>
#include <unistd.h>
#include <vector>

class IblWorkDir {
  public:
    // radiance(direction) paints the sky; null leaves the HDR file out.
    IblWorkDir(const std::function<glm::vec3(glm::vec3)>& radiance, int width = 512,
               int height = 256) {
        namespace fs = std::filesystem;
        previous = fs::current_path();
        const char* tmp = std::getenv("TMPDIR");
        folder =
            fs::path(tmp != nullptr ? tmp : "/tmp") / ("heptad-ibl-" + std::to_string(getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder / "imgs");
        for (const char* shaders : {"labShaders", "labshaders"}) {
            const fs::path source = fs::path(HEPTAD_RUNTIME_DIR) / shaders;
            if (fs::exists(source)) {
                fs::copy(source, folder / shaders, fs::copy_options::recursive);
            }
        }
        if (radiance) {
            writeSky((folder / "imgs" / "vellmar.512.hdr").string(), radiance, width, height);
        }
        fs::current_path(folder);
    }
    ~IblWorkDir() {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
    }

    // Direction of the centre of file pixel (x, y), row 0 being the top of the picture; the
    // longitude convention is the capture shader's: u = 0.5 looks along +x, u = 0.25 along -z.
    static glm::vec3 skyDirection(int x, int y, int width, int height) {
        const double pi = 3.14159265358979323846;
        const double u = (x + 0.5) / width;
        const double v = 1.0 - (y + 0.5) / height;
        const double longitude = (u - 0.5) * 2.0 * pi;
        const double latitude = (v - 0.5) * pi;
        return glm::vec3(std::cos(latitude) * std::cos(longitude), std::sin(latitude),
                         std::cos(latitude) * std::sin(longitude));
    }

    static void writeSky(const std::string& path,
                         const std::function<glm::vec3(glm::vec3)>& radiance, int width,
                         int height) {
        std::vector<float> pixels(static_cast<size_t>(width) * height * 3);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const glm::vec3 value = radiance(skyDirection(x, y, width, height));
                float* pixel = &pixels[(static_cast<size_t>(y) * width + x) * 3];
                pixel[0] = value.r;
                pixel[1] = value.g;
                pixel[2] = value.b;
            }
        }
        stbi_write_hdr(path.c_str(), width, height, 3, pixels.data());
    }

  private:
    std::filesystem::path previous;
    std::filesystem::path folder;
};

// A late-afternoon test sky: blue zenith, warm horizon, a striped floor and a sun of radius 1
// degree, 20 degrees up towards -z, 5000 times brighter than the sky around it.
inline glm::vec3 sunnySky(glm::vec3 direction) {
    const glm::vec3 sunDirection = glm::normalize(glm::vec3(0.0f, std::tan(0.349066f), -1.0f));
    if (glm::dot(direction, sunDirection) > std::cos(0.0174533f)) {
        return glm::vec3(5000.0f);
    }
    if (direction.y < 0.0f) {
        const float longitude = std::atan2(direction.z, direction.x);
        const bool light = std::fmod(std::fabs(longitude) * 6.0f / 3.14159265f, 1.0f) < 0.5f;
        return light ? glm::vec3(0.35f, 0.32f, 0.28f) : glm::vec3(0.2f, 0.18f, 0.16f);
    }
    const float up = std::sqrt(direction.y);
    return glm::mix(glm::vec3(1.2f, 0.9f, 0.7f), glm::vec3(0.15f, 0.3f, 0.9f), up);
}
