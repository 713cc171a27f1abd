#version 330 core
// Second greetings card: the names stay sharp. The colour channels split outwards from the
// centre on each beat, like a lens, and settle before the next; a faint scanline and a slow
// diagonal sheen every eight beats. Linear light, gamma last.
//
// No grain: noise that changes every frame is what a video encoder spends most on, and at this
// strength it barely showed; the scanline gives the screen its texture.
in vec2 texCoord;

// Never assigned: reads texture unit 0, where the scene binds the image.
uniform sampler2D greetsImage;
uniform float time;

out vec4 FragColor;

const float BEATS_PER_SECOND = 2.1333334; // 128 BPM
const vec3 NIGHT = vec3(0.0002036, 0.0000398, 0.0000595); // (0.021, 0.01, 0.012) in linear
const vec3 CYAN = vec3(0.01429, 0.68678, 1.0);             // #25d7ff in linear

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
    // Radial split: zero at the centre; at the corners about two and a half pixels on the beat
    // and under one at rest.
    float kick = exp(-7.0 * fract(time * BEATS_PER_SECOND));
    vec2 split = (texCoord - 0.5) * (0.0016 + 0.0036 * kick);
    vec4 centre = texture(greetsImage, texCoord);
    vec3 image = vec3(texture(greetsImage, clamp(texCoord + split, 0.0, 1.0)).r, centre.g,
                      texture(greetsImage, clamp(texCoord - split, 0.0, 1.0)).b);
    vec3 colour = mix(NIGHT, toLinear(image), centre.a);

    // Every third screen row 6 % darker. A diagonal sheen crossing the card every eight beats
    // lifts what it passes by a quarter and adds a trace of cyan so the dark ground glints too.
    float along = (texCoord.x + texCoord.y) * 0.5;
    float sheenAt = mix(-0.2, 1.2, fract(time * BEATS_PER_SECOND / 8.0));
    float fromSheen = (along - sheenAt) * 20.0; // in sheen widths of 0.05
    float sheen = exp(-fromSheen * fromSheen);
    colour = colour * ((1.0 - 0.06 * step(2.0, mod(gl_FragCoord.y, 3.0))) * (1.0 + 0.25 * sheen)) +
             0.01 * sheen * CYAN;

    FragColor = vec4(toDisplay(softClip(colour)), 1.0);
}
