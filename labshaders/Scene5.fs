#version 330 core
// Scene 5: one key light with a normalised Blinn-Phong highlight, ambient from the green
// surroundings, and a thin rim in the band's own hue that flashes on the beat. Tone-mapped,
// gamma at the end.
in vec3 vWorldPos;
in vec3 vNormal;
in vec3 vAlbedo;
flat in vec3 vEye;
flat in float vPulse;

out vec4 FragColor;

const vec3 VIOLET = vec3(0.3712, 0.0437, 1.0);   // #a23bff in linear
const vec3 GREEN = vec3(0.0290, 0.4560, 0.0083); // the clear colour (0.2, 0.7, 0.113) in linear
const vec3 KEY = vec3(-0.4467, 0.7444, -0.4963); // unit vector towards the light, camera side

// Narkowicz's fit of the ACES filmic curve.
vec3 toneMap(vec3 x) {
    return clamp((x * (2.51 * x + 0.03)) / (x * (2.43 * x + 0.59) + 0.14), 0.0, 1.0);
}

void main() {
    vec3 v = normalize(vEye - vWorldPos);
    float nLength = length(vNormal);
    vec3 n = nLength > 1e-8 ? vNormal / nLength : v; // a sphere squashed flat, seen edge-on
    vec3 h = normalize(KEY + v);
    float nDotL = max(dot(n, KEY), 0.0);

    // Ambient: green from below, a dim violet from above.
    vec3 ambient = mix(GREEN, 0.5 * VIOLET, 0.5 + 0.5 * n.y) * 0.35;
    vec3 diffuse = vAlbedo * (1.1 * nDotL + ambient);

    // Blinn-Phong with exponent 64 by six squarings, normalised by (64 + 8) / (8 pi) = 2.865
    // so the highlight keeps its energy.
    float s = max(dot(n, h), 0.0);
    s *= s; s *= s; s *= s; s *= s; s *= s; s *= s;
    vec3 specular = vec3(0.25 * 2.865 * s * nDotL);

    // The spheres are stretched towards the camera, so much of what shows is seen at a grazing
    // angle: keep the rim thin (fifth power) and in the band's own hue so it outlines without
    // washing out.
    float f = 1.0 - max(dot(n, v), 0.0);
    float f2 = f * f;
    vec3 rim = mix(vAlbedo, vec3(1.0), 0.35) * (f2 * f2 * f) * (0.2 + 0.4 * vPulse);

    vec3 mapped = toneMap((diffuse + specular + rim) * 1.2);
    FragColor = vec4(pow(mapped, vec3(1.0 / 2.2)), 1.0);
}
