#version 330 core
// Scene 5: stretched spheres in violet and amber bands. The bands, their hue swing and the
// beat pulse are worked out per vertex (4225 a sphere, far fewer than its pixels) and the
// lighting per pixel.
layout (location = 0) in vec3 aPos;
layout (location = 1) in vec3 aNormal;
layout (location = 2) in vec2 aTexCoord;

uniform float time;  // seconds into the scene
uniform float color; // cos of the scene time, -1..1
uniform mat4 projection;
uniform mat4 model;
uniform mat4 view;

out vec3 vWorldPos;
out vec3 vNormal;
out vec3 vAlbedo; // linear
flat out vec3 vEye;
flat out float vPulse; // 1 on the beat, decaying

const float PI = 3.14159265;
const float BEATS_PER_SECOND = 2.1333334;      // 128 / 60
const vec3 VIOLET = vec3(0.3712, 0.0437, 1.0); // #a23bff in linear
const vec3 AMBER = vec3(1.0, 0.4564, 0.0595);  // #ffb347 in linear

// Rotation about the grey axis (1, 1, 1)/sqrt 3 by angle a (Rodrigues): turns the hue and
// keeps the mean of the channels.
vec3 hueRotate(vec3 c, float a) {
    const vec3 k = vec3(0.57735027);
    float ca = cos(a);
    return max(c * ca + cross(k, c) * sin(a) + k * dot(k, c) * (1.0 - ca), 0.0);
}

void main() {
    vec4 world = model * vec4(aPos, 1.0);
    vWorldPos = world.xyz;

    // Normals go through the cofactor matrix, det(M) * inverse(transpose(M)): the same
    // direction as the usual normal matrix but finite when a scale passes through zero (the
    // spheres' x scale does). The sign of det keeps normals outward on mirrored spheres.
    mat3 m = mat3(model);
    mat3 cofactor = mat3(cross(m[1], m[2]), cross(m[2], m[0]), cross(m[0], m[1]));
    float det = dot(m[0], cofactor[0]);
    vNormal = (det < 0.0 ? -1.0 : 1.0) * (cofactor * aNormal);

    // Spiral bands, four up the sphere and one round it, drifting half a band a beat;
    // "color" swings the pair of hues by up to 0.6 rad.
    float beats = max(time, 0.0) * BEATS_PER_SECOND;
    float band = 0.5 + 0.5 * sin(2.0 * PI * (4.0 * aTexCoord.y + aTexCoord.x) - PI * beats);
    vAlbedo = hueRotate(mix(VIOLET, AMBER, smoothstep(0.3, 0.7, band)), 0.6 * color);
    vPulse = exp(-5.0 * fract(beats));

    // The eye is where the view matrix takes to the origin: -R^T t.
    vEye = -transpose(mat3(view)) * view[3].xyz;
    gl_Position = projection * view * world;
}
