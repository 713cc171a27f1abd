#version 330 core
// Title card: the logo is uncovered by a bright bar sweeping left to right, then glows, breathing
// once a beat; once the card turns, a thin bright rim traces its edges. All light is added in
// linear space; gamma is applied last.
//
// The first frame arrives when start-up ends, its time already that of the start-up: about
// 0.2 s with a GPU, over a second on a software rasteriser. The card therefore holds still, the
// logo only a faint ghost on the night, until REVEAL_START, late enough that any start-up within
// 3 s sees the whole reveal and the beats that follow it.
//
// Each effect runs only in the seconds it shows: the branches below test the time alone, the
// same for every pixel of a frame, so a GPU skips an idle effect's work. (Mesa's software
// rasteriser runs both sides of any branch under a mask, so there it saves nothing.)
in vec2 texCoord;
in vec3 tint; // linear
in float turn;

uniform sampler2D texture1;
uniform float time;

out vec4 FragColor;

const float BEATS_PER_SECOND = 2.1333334; // 128 BPM
const vec3 NIGHT = vec3(0.0002036, 0.0000398, 0.0000595); // (0.021, 0.01, 0.012) in linear
const float GHOST = 0.006; // how much of the logo shows before the bar has passed
const float REVEAL_START = 3.0;
const float REVEAL_END = 6.0;
const float GLOW_START = 5.4;
const float GLOW_FULL = 7.4;
const float TURN_START = 12.0; // the scene tilts the card from here on

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

// Identity up to the knee, then a shoulder towards 1 with matching slope, so the logo itself
// passes unchanged and only the added light is compressed. The shoulder is 1 - e^-u with e^u
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
    vec4 image = texture(texture1, texCoord);
    vec3 logo = mix(NIGHT, toLinear(image.rgb), image.a);

    vec3 colour;
    if (time <= REVEAL_START) {
        colour = mix(NIGHT, logo, GHOST);
    } else if (time >= REVEAL_END) {
        colour = logo;
    } else {
        // A bar leaning 10 degrees crosses the card, eased at both ends. Left of it the logo is
        // uncovered; right of it only the ghost shows.
        float sweep = smoothstep(REVEAL_START, REVEAL_END, time);
        float across = texCoord.x + 0.18 * (texCoord.y - 0.5) - mix(-0.3, 1.3, sweep);
        float uncovered = smoothstep(0.02, -0.02, across);
        colour = mix(NIGHT, logo, mix(GHOST, 1.0, uncovered));
        // Narrow white-hot core in a wider tinted halo: two Gaussians across the bar.
        float core = exp(-across * across * 10000.0);
        float halo = exp(-across * across * 400.0);
        colour += core * vec3(1.6) + halo * 0.3 * tint;
    }

    // Breathing, peaking on every beat and easing smoothly between beats.
    float breath = 0.5 + 0.5 * cos(6.2831853 * fract(time * BEATS_PER_SECOND));
    if (time > GLOW_START) {
        // The glow fades in as the sweep ends. The blurred halo is a coarse mip level of the
        // logo itself.
        float glowIn = smoothstep(GLOW_START, GLOW_FULL, time);
        vec3 haze = toLinear(textureLod(texture1, texCoord, 5.0).rgb);
        colour += glowIn * ((0.15 + 0.25 * breath) * haze * mix(vec3(1.0), tint, 0.5) +
                            0.08 * breath * logo);
    }

    if (time > TURN_START) {
        // Rim: within about two pixels of the card's border (fwidth converts to pixels), only
        // as far as the card has turned away from the viewer.
        vec2 pixels = min(texCoord, 1.0 - texCoord) / max(fwidth(texCoord), vec2(1e-6));
        float rimMask = 1.0 - smoothstep(0.5, 2.5, min(pixels.x, pixels.y));
        float rim = rimMask * smoothstep(0.02, 0.1, turn);
        colour += rim * (vec3(1.2) + 0.8 * tint) * (0.8 + 0.4 * breath);
    }

    FragColor = vec4(toDisplay(softClip(colour)), 1.0);
}
