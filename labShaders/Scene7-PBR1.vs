#version 330 core
// Lit spheres of the finale: world-space position and normal for the shading, the sky's
// irradiance, and the glow of a light marker.
layout(location = 0) in vec3 aPos;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec2 aTexCoords;

uniform mat4 projection;
uniform mat4 view;
uniform mat4 model;
uniform float time;
uniform vec3 lightPositions[4];
uniform vec3 lightColors[4];
uniform samplerCube irradianceMap;

out vec3 worldPos;
out vec3 worldNormal;
flat out vec3 eyePos;
flat out vec3 markerGlow;
out vec3 irradianceOutside;
out vec3 irradianceInside;

const float MARKER_GLOW = 4.0;
const float BEATS_PER_SECOND = 2.1333334;

void main() {
    worldPos = vec3(model * vec4(aPos, 1.0));
    // The grid spheres are scaled unevenly: normals go through the inverse transpose, here as
    // the cofactor matrix (the inverse transpose times the determinant, which is positive for
    // these models and drops out when the normal is normalised).
    mat3 m = mat3(model);
    mat3 cofactor = mat3(cross(m[1], m[2]), cross(m[2], m[0]), cross(m[0], m[1]));
    worldNormal = cofactor * aNormal;
    // Irradiance is the sky blurred over a whole hemisphere: across one facet of this dense mesh
    // it barely changes, so it is read here, once a vertex, instead of at every pixel, where the
    // late grid shades each pixel a dozen times or more. Both sides are read because only the
    // fragment stage knows which one faces the eye: the near plane can open a sphere the
    // camera is outside of.
    irradianceOutside = textureLod(irradianceMap, worldNormal, 0.0).rgb;
    irradianceInside = textureLod(irradianceMap, -worldNormal, 0.0).rgb;
    // The view is a rigid look-at, so the eye is -R^T t.
    eyePos = -transpose(mat3(view)) * view[3].xyz;

    // A light's marker is the sphere centred on that light, drawn right after its uniforms are
    // set; it glows in the light's own colour at a fixed strength, flashing on every beat and
    // settling.
    vec3 markerColor = vec3(0.0);
    for (int i = 0; i < 4; ++i) {
        vec3 offset = model[3].xyz - lightPositions[i];
        if (dot(offset, offset) < 1e-6) {
            markerColor = lightColors[i];
        }
    }
    float strongest = max(max(markerColor.r, markerColor.g), max(markerColor.b, 1e-3));
    float sinceBeat = 1.0 - fract(time * BEATS_PER_SECOND);
    markerGlow = markerColor / strongest * MARKER_GLOW * (1.0 + 1.5 * sinceBeat * sinceBeat);
    gl_Position = projection * view * vec4(worldPos, 1.0);
}
