#version 330 core
// First greetings card: the names stay sharp. A faint scanline, a slow band of light rolling
// down every eight beats and a grain give it a screen's texture; the colour channels split a
// few pixels apart on each beat and settle before the next. The edges catch an amber rim as
// the card turns. Linear light, gamma last, grain after gamma.
in vec2 texCoord;
in float turn;

uniform sampler2D texture2;
uniform float time;

out vec4 FragColor;

const float BEATS_PER_SECOND = 2.1333334; // 128 BPM
const vec3 NIGHT = vec3(0.021, 0.01, 0.012);
const vec3 AMBER = vec3(1.0, 0.702, 0.278); // #ffb347

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
    // The split jumps to about two and a half pixels of the 960-pixel card on the beat and
    // decays to under one.
    float kick = exp(-7.0 * fract(time * BEATS_PER_SECOND));
    vec2 split = vec2(0.0008 + 0.0018 * kick, 0.0);
    vec4 centre = texture(texture2, texCoord);
    vec3 image = vec3(texture(texture2, clamp(texCoord + split, 0.0, 1.0)).r, centre.g,
                      texture(texture2, clamp(texCoord - split, 0.0, 1.0)).b);
    vec3 colour = mix(toLinear(NIGHT), toLinear(image), centre.a);

    // Every third screen row 6 % darker.
    colour *= 1.0 - 0.06 * step(2.0, mod(gl_FragCoord.y, 3.0));
    // A soft band brightening what it passes by a fifth, top to bottom every eight beats.
    float bandY = mix(1.2, -0.2, fract(time * BEATS_PER_SECOND / 8.0));
    colour *= 1.0 + 0.2 * exp(-pow((texCoord.y - bandY) / 0.08, 2.0));

    // Rim within about two pixels of the border, as far as the card has turned.
    vec2 pixels = min(texCoord, 1.0 - texCoord) / max(fwidth(texCoord), vec2(1e-6));
    float rim = (1.0 - smoothstep(0.5, 2.5, min(pixels.x, pixels.y))) * smoothstep(0.02, 0.1, turn);
    colour += rim * (vec3(0.6) + 1.2 * toLinear(AMBER));

    vec3 display = toDisplay(softClip(colour));
    display += 0.03 * (grain(gl_FragCoord.xy, floor(time * 24.0)) - 0.5);
    FragColor = vec4(display, 1.0);
}
