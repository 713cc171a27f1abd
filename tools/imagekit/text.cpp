#include "imagekit/text.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <stb_truetype.h>

namespace {
constexpr int kSupersample = 4;

const stbtt_fontinfo* infoOf(const Font& font) {
    return static_cast<const stbtt_fontinfo*>(font.info());
}

// The code points of a UTF-8 string (the texts here are ASCII plus a few dashes and dots).
std::vector<int> codePoints(const std::string& text) {
    std::vector<int> out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = text[i];
        int cp = c;
        int extra = 0;
        if (c >= 0xf0) {
            cp = c & 0x07;
            extra = 3;
        } else if (c >= 0xe0) {
            cp = c & 0x0f;
            extra = 2;
        } else if (c >= 0xc0) {
            cp = c & 0x1f;
            extra = 1;
        }
        ++i;
        for (int k = 0; k < extra && i < text.size(); ++k, ++i) {
            cp = (cp << 6) | (static_cast<unsigned char>(text[i]) & 0x3f);
        }
        out.push_back(cp);
    }
    return out;
}

// Pen positions of each glyph, in pixels at the given scale, from a pen start of 0.
std::vector<float> penPositions(const stbtt_fontinfo* info, const std::vector<int>& cps,
                                float scale, float trackingPx, float* totalWidth) {
    std::vector<float> pens;
    float pen = 0.0f;
    for (size_t i = 0; i < cps.size(); ++i) {
        pens.push_back(pen);
        int advance = 0;
        int lsb = 0;
        stbtt_GetCodepointHMetrics(info, cps[i], &advance, &lsb);
        pen += advance * scale;
        if (i + 1 < cps.size()) {
            pen += stbtt_GetCodepointKernAdvance(info, cps[i], cps[i + 1]) * scale + trackingPx;
        }
    }
    *totalWidth = pen;
    return pens;
}
} // namespace

Font::Font(const std::string& path) : fontInfo(sizeof(stbtt_fontinfo)) {
    std::ifstream in(path, std::ios::binary);
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (data.empty()) {
        return;
    }
    auto* info = reinterpret_cast<stbtt_fontinfo*>(fontInfo.data());
    if (!stbtt_InitFont(info, data.data(), stbtt_GetFontOffsetForIndex(data.data(), 0))) {
        return;
    }
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
    stbtt_GetCodepointBox(info, 'H', &x0, &y0, &x1, &y1);
    capUnits = static_cast<float>(std::max(1, y1));
    valid = true;
}

float textWidth(const Font& font, const std::string& text, TextStyle style) {
    const float scale = style.capHeight / font.capHeightUnits();
    float width = 0.0f;
    penPositions(infoOf(font), codePoints(text), scale, style.tracking * style.capHeight, &width);
    return width;
}

void drawText(Mask& target, const Font& font, const std::string& text, float x, float baseline,
              TextStyle style, Align align) {
    const stbtt_fontinfo* info = infoOf(font);
    const std::vector<int> cps = codePoints(text);
    const float width = textWidth(font, text, style);
    float left = x;
    if (align == Align::Centre) {
        left = x - width * 0.5f;
    } else if (align == Align::Right) {
        left = x - width;
    }

    // The supersampled buffer covers whole target pixels: its origin is a target pixel corner,
    // and the fractional part of the text position moves the pen inside it.
    const float s = kSupersample;
    const float scale = style.capHeight * s / font.capHeightUnits();
    int ascent = 0;
    int descent = 0;
    int lineGap = 0;
    stbtt_GetFontVMetrics(info, &ascent, &descent, &lineGap);
    const int margin = 2;
    const int ox = static_cast<int>(std::floor(left)) - margin;
    const int oy = static_cast<int>(std::floor(baseline - ascent * scale / s)) - margin;
    const int bw =
        (static_cast<int>(std::ceil(width + 2.0f * style.capHeight)) + 2 * margin) * kSupersample;
    const int bh = (static_cast<int>(std::ceil((ascent - descent) * scale / s)) + 2 * margin + 1) *
                   kSupersample;
    std::vector<unsigned char> big(static_cast<size_t>(bw) * bh, 0);
    std::vector<unsigned char> glyph;

    float total = 0.0f;
    const std::vector<float> pens =
        penPositions(info, cps, scale, style.tracking * style.capHeight * s, &total);
    const float penX0 = (left - ox) * s;
    const float baseY = (baseline - oy) * s;
    for (size_t i = 0; i < cps.size(); ++i) {
        const float penX = penX0 + pens[i];
        const float shiftX = penX - std::floor(penX);
        const float shiftY = baseY - std::floor(baseY);
        int x0 = 0;
        int y0 = 0;
        int x1 = 0;
        int y1 = 0;
        stbtt_GetCodepointBitmapBoxSubpixel(info, cps[i], scale, scale, shiftX, shiftY, &x0, &y0,
                                            &x1, &y1);
        const int gw = x1 - x0;
        const int gh = y1 - y0;
        if (gw <= 0 || gh <= 0) {
            continue;
        }
        glyph.assign(static_cast<size_t>(gw) * gh, 0);
        stbtt_MakeCodepointBitmapSubpixel(info, glyph.data(), gw, gh, gw, scale, scale, shiftX,
                                          shiftY, cps[i]);
        const int gx = static_cast<int>(std::floor(penX)) + x0;
        const int gy = static_cast<int>(std::floor(baseY)) + y0;
        for (int row = 0; row < gh; ++row) {
            for (int col = 0; col < gw; ++col) {
                const int bx = gx + col;
                const int by = gy + row;
                if (bx < 0 || by < 0 || bx >= bw || by >= bh) {
                    continue;
                }
                unsigned char& dst = big[static_cast<size_t>(by) * bw + bx];
                dst = std::max(dst, glyph[static_cast<size_t>(row) * gw + col]);
            }
        }
    }

    // Box filter down to target pixels.
    const float norm = 1.0f / (255.0f * kSupersample * kSupersample);
    for (int ty = 0; ty < bh / kSupersample; ++ty) {
        for (int tx = 0; tx < bw / kSupersample; ++tx) {
            const int px = ox + tx;
            const int py = oy + ty;
            if (px < 0 || py < 0 || px >= target.width || py >= target.height) {
                continue;
            }
            int sum = 0;
            for (int sy = 0; sy < kSupersample; ++sy) {
                const unsigned char* row =
                    &big[static_cast<size_t>(ty * kSupersample + sy) * bw + tx * kSupersample];
                for (int sx = 0; sx < kSupersample; ++sx) {
                    sum += row[sx];
                }
            }
            if (sum > 0) {
                float& cover = target.at(px, py);
                cover = std::min(1.0f, cover + sum * norm);
            }
        }
    }
}
