#version 330 core
// Scene 3: tone-mapped vertex colours, brighter on the beat, sinking into the clear colour
// with distance so the far, widest copies melt into the dark.
in vec3 vColor;
in vec3 vViewPos;
in float vPulse;

out vec4 FragColor;

// The scene's clear colour (0.03, 0.0, 0.01), in linear.
const vec3 NIGHT_LINEAR = vec3(0.0004463, 0.0, 0.0000398);

// Narkowicz's fit of the ACES filmic curve.
vec3 toneMap(vec3 x) {
    return clamp((x * (2.51 * x + 0.03)) / (x * (2.43 * x + 0.59) + 0.14), 0.0, 1.0);
}

// x^(1/2.2) for x in [0, 1] (linear to display) from two square roots, within 0.53 of an
// 8-bit step of the power.
vec3 toDisplay(vec3 x) {
    vec3 root = sqrt(max(x, 0.0));
    return 0.9991871 * root + 0.0726644 * sqrt(root) - 0.0718515 * x;
}

void main() {
    float exposure = 1.4 * (1.0 + 0.5 * vPulse);
    vec3 mapped = toneMap(vColor * exposure);

    // Fog after tone mapping, in linear display space: fully fogged equals the clear colour.
    float d = length(vViewPos);
    float beyond = max(d - 12.0, 0.0) / 35.0;
    float fog = 1.0 - exp(-beyond * sqrt(beyond)); // exp(-beyond^1.5)
    vec3 linear = mix(mapped, NIGHT_LINEAR, fog);
    FragColor = vec4(toDisplay(linear), 1.0);
}
