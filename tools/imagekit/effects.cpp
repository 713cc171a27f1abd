#include "imagekit/effects.h"

#include "imagekit/shapes.h"
#include "rng.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

void sprinkleStars(Canvas& canvas, int count, uint32_t seed, float brightness) {
    Rng rng(seed);
    const Color tints[3] = {palette::violet(), palette::cyan(), palette::white()};
    for (int i = 0; i < count; ++i) {
        const float x = rng.range(0.0f, static_cast<float>(canvas.width()));
        const float y = rng.range(0.0f, static_cast<float>(canvas.height()));
        const float size = 0.6f + 1.6f * rng.uniform() * rng.uniform();
        const float level = brightness * (0.15f + 0.85f * rng.uniform() * rng.uniform());
        const Color tint = mix(tints[rng.next() % 3], palette::white(), 0.3f);
        const int reach = static_cast<int>(std::ceil(size * 3.0f));
        for (int py = static_cast<int>(y) - reach; py <= static_cast<int>(y) + reach; ++py) {
            for (int px = static_cast<int>(x) - reach; px <= static_cast<int>(x) + reach; ++px) {
                if (px < 0 || py < 0 || px >= canvas.width() || py >= canvas.height()) {
                    continue;
                }
                const float dx = px + 0.5f - x;
                const float dy = py + 0.5f - y;
                const float k = std::exp(-(dx * dx + dy * dy) / (2.0f * size * size * 0.5f));
                canvas.set(px, py, canvas.get(px, py) + tint * (level * k));
            }
        }
    }
}

void fadeEdgesToClearColour(Canvas& canvas, float margin) {
    const Color clear = palette::clearColour();
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const float d = std::min(std::min(x + 0.5f, canvas.width() - x - 0.5f),
                                     std::min(y + 0.5f, canvas.height() - y - 0.5f));
            const float keep = smoothstep(0.0f, margin, d);
            canvas.set(x, y, mix(clear, canvas.get(x, y), keep));
        }
    }
}

void vignette(Canvas& canvas, float strength) {
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const float dx = (x + 0.5f) / canvas.width() * 2.0f - 1.0f;
            const float dy = (y + 0.5f) / canvas.height() * 2.0f - 1.0f;
            const float r2 = (dx * dx + dy * dy) * 0.5f;
            canvas.set(x, y, canvas.get(x, y) * (1.0f - strength * smoothstep(0.15f, 1.0f, r2)));
        }
    }
}

int writePictureFiles(const Canvas& canvas, int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s output.png [half-size-preview.png]\n", argv[0]);
        return 2;
    }
    for (int i = 1; i < argc && i <= 2; ++i) {
        if (!canvas.writePng(argv[i], i)) {
            std::fprintf(stderr, "cannot write %s\n", argv[i]);
            return 1;
        }
    }
    return 0;
}
