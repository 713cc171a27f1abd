#version 330 core
// Scene 2: the plain cube (shape A) glides into the split cube (shape B) and back every eight
// beats, colours cross-fading with it. Points shrink from 6 to 2 pixels with depth.
layout (location = 0) in vec3 aPosA;
layout (location = 1) in vec3 aColorA;
layout (location = 2) in vec3 aPosB;
layout (location = 3) in vec3 aColorB;

uniform float time; // seconds into the scene
uniform mat4 model;
uniform mat4 view;
uniform mat4 projection;

out vec3 vColor;    // linear, before exposure
out vec3 vViewPos;  // for the depth fog
out float vPulse;   // 1 on the beat, decaying

const float BEATS_PER_SECOND = 2.1333334; // 128 / 60
const float MORPH_BEATS = 8.0;
const vec3 VIOLET = vec3(0.3712, 0.0437, 1.0); // #a23bff in linear
const vec3 CYAN = vec3(0.0185, 0.6795, 1.0);   // #25d7ff in linear

// Shape A for the first beats of the period, shape B for the middle ones, each change a
// two-beat glide.
float morphWeight(float beats) {
    float phase = mod(beats, MORPH_BEATS);
    return smoothstep(0.0, 2.0, phase) * (1.0 - smoothstep(4.0, 6.0, phase));
}

void main() {
    float beats = max(time, 0.0) * BEATS_PER_SECOND;
    float w = morphWeight(beats);
    vec3 position = mix(aPosA, aPosB, w);

    // The table colours are display values: decode, lift the darkest towards the accent of
    // the current shape so no edge vanishes into the night.
    vec3 albedo = pow(max(mix(aColorA, aColorB, w), 0.0), vec3(2.2));
    vColor = 1.8 * albedo + 0.12 * mix(VIOLET, CYAN, w);

    vec4 viewPos = view * model * vec4(position, 1.0);
    vViewPos = viewPos.xyz;
    vPulse = exp(-4.0 * fract(beats));
    gl_Position = projection * viewPos;

    // Nearest copies (12 units) get 6 pixels, the far end of the trail (42) gets 2.
    gl_PointSize = mix(6.0, 2.0, clamp((length(viewPos.xyz) - 12.0) / 30.0, 0.0, 1.0));
}
