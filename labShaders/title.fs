#version 330 core
// Title card: the logo is uncovered by a bright bar sweeping left to right in the first seconds,
// then glows, breathing once a beat; once the card turns, a thin bright rim traces its edges.
// All light is added in linear space; gamma is applied last.
in vec2 texCoord;
in vec3 cornerColor;
in float turn;

uniform sampler2D texture1;
uniform float time;

out vec4 FragColor;

const float BEATS_PER_SECOND = 2.1333334; // 128 BPM
const vec3 NIGHT = vec3(0.021, 0.01, 0.012); // the clear colour, as displayed
const vec3 VIOLET = vec3(0.635, 0.231, 1.0); // #a23bff
const vec3 CYAN = vec3(0.145, 0.843, 1.0);   // #25d7ff

vec3 toLinear(vec3 c) { return pow(c, vec3(2.2)); }
vec3 toDisplay(vec3 c) { return pow(c, vec3(1.0 / 2.2)); }

// Identity up to the knee, then an exponential shoulder towards 1 with matching slope, so the
// logo itself passes unchanged and only the added light is compressed.
vec3 softClip(vec3 c) {
    const float knee = 0.8;
    vec3 over = max(c - knee, 0.0);
    return min(c, knee) + (1.0 - knee) * (1.0 - exp(-over / (1.0 - knee)));
}

void main() {
    vec3 night = toLinear(NIGHT);
    vec4 image = texture(texture1, texCoord);
    vec3 logo = mix(night, toLinear(image.rgb), image.a);
    vec3 tint = mix(toLinear(VIOLET), toLinear(CYAN), cornerColor.g);

    // Reveal: a bar leaning 10 degrees crosses the card between 0.6 s and 3.6 s, eased at both
    // ends. Left of it the logo is uncovered; right of it only a faint ghost shows.
    float sweep = smoothstep(0.6, 3.6, time);
    float across = texCoord.x + 0.18 * (texCoord.y - 0.5) - mix(-0.3, 1.3, sweep);
    float uncovered = smoothstep(0.02, -0.02, across);
    vec3 colour = mix(night, logo, mix(0.006, 1.0, uncovered));
    // Narrow white-hot core in a wider tinted halo: two Gaussians across the bar.
    float core = exp(-pow(across / 0.01, 2.0));
    float halo = exp(-pow(across / 0.05, 2.0));
    colour += core * vec3(1.6) + halo * 0.3 * tint;

    // Breathing glow, peaking on every beat and easing smoothly between beats; it fades in as
    // the sweep ends. The blurred halo is a coarse mip level of the logo itself.
    float pulse = fract(time * BEATS_PER_SECOND);
    float breath = 0.5 + 0.5 * cos(6.2831853 * pulse);
    float glowIn = smoothstep(3.0, 5.0, time);
    vec3 haze = toLinear(textureLod(texture1, texCoord, 5.0).rgb);
    colour += glowIn * ((0.15 + 0.25 * breath) * haze * mix(vec3(1.0), tint, 0.5) +
                        0.08 * breath * logo);

    // Rim: within about two pixels of the card's border (fwidth converts to pixels), only as
    // far as the card has turned away from the viewer.
    vec2 pixels = min(texCoord, 1.0 - texCoord) / max(fwidth(texCoord), vec2(1e-6));
    float rimMask = 1.0 - smoothstep(0.5, 2.5, min(pixels.x, pixels.y));
    float rim = rimMask * smoothstep(0.02, 0.1, turn);
    colour += rim * (vec3(1.2) + 0.8 * tint) * (0.8 + 0.4 * breath);

    FragColor = vec4(toDisplay(softClip(colour)), 1.0);
}
