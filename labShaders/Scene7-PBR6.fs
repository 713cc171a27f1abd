#version 330 core
// Sky background: the environment cube in the direction of each pixel, tone mapped exactly like
// the spheres (Scene7-PBR1.fs) so that the sky and its reflections match.
in vec3 localPos;

uniform samplerCube environmentMap;

out vec4 FragColor;

// Shared with Scene7-PBR1.fs.
const float EXPOSURE = 1.0;

// Narkowicz's fit of the ACES filmic curve.
vec3 acesFilmic(vec3 x) {
    return clamp((x * (2.51 * x + 0.03)) / (x * (2.43 * x + 0.59) + 0.14), 0.0, 1.0);
}

// x^(1/2.2) for x in [0, 1] (linear to display) from two square roots, within 0.53 of an
// 8-bit step of the power; the same as in Scene7-PBR1.fs.
vec3 toDisplay(vec3 x) {
    vec3 root = sqrt(max(x, 0.0));
    return 0.9991871 * root + 0.0726644 * sqrt(root) - 0.0718515 * x;
}

void main() {
    // Level 0 without derivatives: no seams along the cube's edges.
    vec3 radiance = textureLod(environmentMap, localPos, 0.0).rgb;
    FragColor = vec4(toDisplay(acesFilmic(radiance * EXPOSURE)), 1.0);
}
