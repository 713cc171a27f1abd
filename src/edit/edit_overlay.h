#pragma once
#include <glm/glm.hpp>
#include <string>
#include <vector>

// Edit mode's text in the top left corner of the picture, over a dark box: DejaVu Sans Mono
// baked by stb_truetype into one texture, drawn after the scene. Every piece of GL state it
// touches is put back, so the next frame sees what the scene left.

struct OverlayLine {
    std::string text;
    glm::vec3 colour{1.0f};
};

class EditOverlay {
  public:
    // Reads the font and makes the GL objects. Without the font it says so once on standard
    // error and draws nothing.
    EditOverlay();
    EditOverlay(const EditOverlay&) = delete;
    EditOverlay& operator=(const EditOverlay&) = delete;

    bool ready() const { return program != 0; }
    // Draws the lines into the framebuffer of this size, top to bottom.
    void draw(const std::vector<OverlayLine>& lines, int width, int height);

  private:
    unsigned int program = 0;
    unsigned int fontTexture = 0;
    unsigned int vertexArray = 0;
    unsigned int vertexBuffer = 0;
    std::vector<unsigned char> glyphs; // stbtt_bakedchar for ' ' to '~'
};

// Where the font is looked for.
constexpr const char* overlayFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
