#version 330 core
// Second greetings card: the names stay sharp. The colour channels split outwards from the
// centre on each beat, like a lens, and settle before the next; a faint scanline and grain,
// and a slow diagonal sheen every eight beats. Linear light, gamma last, grain after gamma.
in vec2 texCoord;

// Never assigned: reads texture unit 0, where the scene binds the image.
uniform sampler2D greetsImage;
uniform float time;

out vec4 FragColor;

const float BEATS_PER_SECOND = 2.1333334; // 128 BPM
const vec3 NIGHT = vec3(0.021, 0.01, 0.012);
const vec3 CYAN = vec3(0.145, 0.843, 1.0); // #25d7ff

vec3 toLinear(vec3 c) { return pow(c, vec3(2.2)); }
vec3 toDisplay(vec3 c) { return pow(c, vec3(1.0 / 2.2)); }

// Identity up to the knee, then an exponential shoulder towards 1 with matching slope.
vec3 softClip(vec3 c) {
    const float knee = 0.8;
    vec3 over = max(c - knee, 0.0);
    return min(c, knee) + (1.0 - knee) * (1.0 - exp(-over / (1.0 - knee)));
}

// Integer hash of pixel and frame number (xorshift-multiply finaliser), uniform in [0, 1].
float grain(vec2 pixel, float frame) {
    uint h = uint(pixel.x) * 1664525u + uint(pixel.y) * 1013904223u + uint(frame) * 2654435769u;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return float(h) / 4294967295.0;
}

void main() {
    // Radial split: zero at the centre; at the corners about two and a half pixels on the beat
    // and under one at rest.
    float kick = exp(-7.0 * fract(time * BEATS_PER_SECOND));
    vec2 split = (texCoord - 0.5) * (0.0016 + 0.0036 * kick);
    vec4 centre = texture(greetsImage, texCoord);
    vec3 image = vec3(texture(greetsImage, clamp(texCoord + split, 0.0, 1.0)).r, centre.g,
                      texture(greetsImage, clamp(texCoord - split, 0.0, 1.0)).b);
    vec3 colour = mix(toLinear(NIGHT), toLinear(image), centre.a);

    // Every third screen row 6 % darker.
    colour *= 1.0 - 0.06 * step(2.0, mod(gl_FragCoord.y, 3.0));
    // A diagonal sheen crossing the card every eight beats: lifts what it passes by a quarter
    // and adds a trace of cyan so the dark ground glints too.
    float along = (texCoord.x + texCoord.y) * 0.5;
    float sheenAt = mix(-0.2, 1.2, fract(time * BEATS_PER_SECOND / 8.0));
    float sheen = exp(-pow((along - sheenAt) / 0.05, 2.0));
    colour = colour * (1.0 + 0.25 * sheen) + 0.01 * sheen * toLinear(CYAN);

    vec3 display = toDisplay(softClip(colour));
    display += 0.03 * (grain(gl_FragCoord.xy, floor(time * 24.0)) - 0.5);
    FragColor = vec4(display, 1.0);
}
