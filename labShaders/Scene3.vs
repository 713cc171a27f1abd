#version 330 core
// Scene 3: the warped cube (shape A) snaps into the warped split cube (shape B) and back every
// four beats with the groove, colours cross-fading. Points shrink from 6 to 2 pixels with depth.
layout (location = 0) in vec3 aPosA;
layout (location = 1) in vec3 aColorA;
layout (location = 2) in vec3 aPosB;
layout (location = 3) in vec3 aColorB;

uniform float time; // seconds into the scene
uniform mat4 model;
uniform mat4 view;
uniform mat4 projection;

out vec3 vColor;   // linear, before exposure
out vec3 vViewPos; // for the depth fog
out float vPulse;  // 1 on the beat, decaying

const float BEATS_PER_SECOND = 2.1333334; // 128 / 60
const float MORPH_BEATS = 4.0;
const vec3 CYAN = vec3(0.0185, 0.6795, 1.0);  // #25d7ff in linear
const vec3 AMBER = vec3(1.0, 0.4564, 0.0595); // #ffb347 in linear

// Shape A on beats 1-2, shape B on beats 3-4, a one-beat glide at each change.
float morphWeight(float beats) {
    float phase = mod(beats, MORPH_BEATS);
    return smoothstep(0.0, 1.0, phase) * (1.0 - smoothstep(2.0, 3.0, phase));
}

void main() {
    float beats = max(time, 0.0) * BEATS_PER_SECOND;
    float w = morphWeight(beats);
    vec3 position = mix(aPosA, aPosB, w);

    // Display-valued table colours, decoded and lifted towards the accent of the current shape.
    vec3 albedo = pow(max(mix(aColorA, aColorB, w), 0.0), vec3(2.2));
    vColor = 1.8 * albedo + 0.12 * mix(CYAN, AMBER, w);

    vec4 viewPos = view * model * vec4(position, 1.0);
    vViewPos = viewPos.xyz;
    vPulse = exp(-4.0 * fract(beats));
    gl_Position = projection * viewPos;

    // The copies run from about 7 to 50 units deep: 6 pixels nearest, 2 at the far end.
    gl_PointSize = mix(6.0, 2.0, clamp((length(viewPos.xyz) - 7.0) / 43.0, 0.0, 1.0));
}
