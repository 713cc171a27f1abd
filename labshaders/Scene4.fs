#version 330 core
// First greetings card: the names stay sharp. A faint scanline and a slow band of light rolling
// down every eight beats give it a screen's texture; the colour channels split a few pixels
// apart on each beat and settle before the next. The edges catch an amber rim as the card
// turns. Linear light, gamma last.
//
// No grain: noise that changes every frame is what a video encoder spends most on, and at this
// strength it barely showed; the scanline gives the screen its texture.
in vec2 texCoord;
in float turn;

uniform sampler2D texture2;
uniform float time;

out vec4 FragColor;

const float BEATS_PER_SECOND = 2.1333334; // 128 BPM
const vec3 NIGHT = vec3(0.0002036, 0.0000398, 0.0000595); // (0.021, 0.01, 0.012) in linear
const vec3 AMBER = vec3(1.0, 0.45914, 0.05983);            // #ffb347 in linear
const float TURN_START = 12.0; // the scene turns the card from here on

// x^2.2 for x in [0, 1] (display to linear): a polynomial within an 8-bit step of the power
// after the round trip through toDisplay, for a fraction of its cost.
vec3 toLinear(vec3 x) {
    return x * x * (0.5853218 + x * (0.7041204 - 0.2894422 * x));
}

// x^(1/2.2) for x in [0, 1] (linear to display) from two square roots, within 0.53 of an
// 8-bit step of the power.
vec3 toDisplay(vec3 x) {
    vec3 root = sqrt(max(x, 0.0));
    return 0.9991871 * root + 0.0726644 * sqrt(root) - 0.0718515 * x;
}

// Identity up to the knee, then a shoulder towards 1 with matching slope: 1 - e^-u with e^u
// taken as (1 + u / 16)^16, four squarings instead of an exponential.
vec3 softClip(vec3 c) {
    const float knee = 0.8;
    vec3 u = max(c - knee, 0.0) / (1.0 - knee);
    vec3 grow = 1.0 + u * 0.0625;
    grow *= grow;
    grow *= grow;
    grow *= grow;
    grow *= grow;
    return min(c, knee) + (1.0 - knee) * (1.0 - 1.0 / grow);
}

void main() {
    // The split jumps to about two and a half pixels of the 960-pixel card on the beat and
    // decays to under one.
    float kick = exp(-7.0 * fract(time * BEATS_PER_SECOND));
    vec2 split = vec2(0.0008 + 0.0018 * kick, 0.0);
    vec4 centre = texture(texture2, texCoord);
    vec3 image = vec3(texture(texture2, clamp(texCoord + split, 0.0, 1.0)).r, centre.g,
                      texture(texture2, clamp(texCoord - split, 0.0, 1.0)).b);
    vec3 colour = mix(NIGHT, toLinear(image), centre.a);

    // Every third screen row 6 % darker; a soft band brightening what it passes by a fifth,
    // top to bottom every eight beats.
    float bandY = mix(1.2, -0.2, fract(time * BEATS_PER_SECOND / 8.0));
    float fromBand = (texCoord.y - bandY) * 12.5; // in band widths of 0.08
    colour *= (1.0 - 0.06 * step(2.0, mod(gl_FragCoord.y, 3.0))) *
              (1.0 + 0.2 * exp(-fromBand * fromBand));

    if (time > TURN_START) {
        // Rim within about two pixels of the border, as far as the card has turned.
        vec2 pixels = min(texCoord, 1.0 - texCoord) / max(fwidth(texCoord), vec2(1e-6));
        float rim =
            (1.0 - smoothstep(0.5, 2.5, min(pixels.x, pixels.y))) * smoothstep(0.02, 0.1, turn);
        colour += rim * (vec3(0.6) + 1.2 * AMBER);
    }

    FragColor = vec4(toDisplay(softClip(colour)), 1.0);
}
