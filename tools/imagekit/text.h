#pragma once
// Display text: glyphs rasterised by stb_truetype at four times the target resolution and
// box-filtered down, so that edges stay clean when the picture is shown at half size.

#include "imagekit/canvas.h"

#include <string>
#include <vector>

class Font {
  public:
    // Loads a TrueType file; ok() is false when it cannot be read or parsed.
    explicit Font(const std::string& path);
    bool ok() const { return valid; }

    // The font-unit height of a capital H, so text can be sized by its cap height.
    float capHeightUnits() const { return capUnits; }
    const void* info() const { return fontInfo.data(); }

  private:
    std::vector<unsigned char> data;
    std::vector<unsigned char> fontInfo; // storage for stbtt_fontinfo, kept opaque here
    float capUnits = 1.0f;
    bool valid = false;
};

struct TextStyle {
    float capHeight;       // pixels from baseline to the top of a capital
    float tracking = 0.0f; // extra space after each letter, in cap heights
};

enum class Align { Left, Centre, Right };

// Advance width of the text in pixels (without the tracking after the last letter).
float textWidth(const Font& font, const std::string& text, TextStyle style);

// Adds the text's coverage into target; x is the left edge, centre or right edge by align.
void drawText(Mask& target, const Font& font, const std::string& text, float x, float baseline,
              TextStyle style, Align align = Align::Left);

// The fonts of the identity: the condensed face comes in fonts-dejavu-extra, the others in
// fonts-dejavu-core.
namespace fonts {
inline const char* bold() {
    return "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
}
inline const char* condensedBold() {
    return "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";
}
inline const char* mono() {
    return "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
}
inline const char* monoBold() {
    return "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";
}
} // namespace fonts
