#version 330 core
// Scene 2: tone-mapped vertex colours, brighter on the beat, sinking into the clear colour
// with distance so the trail fades into the dark.
in vec3 vColor;
in vec3 vViewPos;
in float vPulse;

out vec4 FragColor;

const vec3 NIGHT = vec3(0.03, 0.0, 0.01); // the scene's clear colour, as displayed

// Narkowicz's fit of the ACES filmic curve.
vec3 toneMap(vec3 x) {
    return clamp((x * (2.51 * x + 0.03)) / (x * (2.43 * x + 0.59) + 0.14), 0.0, 1.0);
}

void main() {
    float exposure = 1.4 * (1.0 + 0.5 * vPulse);
    vec3 mapped = toneMap(vColor * exposure);

    // Fog after tone mapping, in linear display space: fully fogged equals the clear colour.
    float d = length(vViewPos);
    float fog = 1.0 - exp(-pow(max(d - 10.0, 0.0) / 30.0, 1.5));
    vec3 linear = mix(mapped, pow(NIGHT, vec3(2.2)), fog);
    FragColor = vec4(pow(linear, vec3(1.0 / 2.2)), 1.0);
}
