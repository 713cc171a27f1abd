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

// x^(1/2.2) for x in [0, 1] (linear to display) from two square roots, within 0.53 of an
// 8-bit step of the power.
vec3 toDisplay(vec3 x) {
    vec3 root = sqrt(max(x, 0.0));
    return 0.9991871 * root + 0.0726644 * sqrt(root) - 0.0718515 * x;
}

void main() {
    vec3 toEye = vEye - vWorldPos;
    vec3 v = toEye * inversesqrt(max(dot(toEye, toEye), 1e-20));
    float normalLength2 = dot(vNormal, vNormal);
    // A sphere squashed flat, seen edge-on, has no normal: it faces the eye.
    vec3 n = normalLength2 > 1e-16 ? vNormal * inversesqrt(normalLength2) : v;
    float nDotL = max(dot(n, KEY), 0.0);

    // Ambient: green from below, a dim violet from above.
    vec3 ambient = mix(GREEN, 0.5 * VIOLET, 0.5 + 0.5 * n.y) * 0.35;
    vec3 diffuse = vAlbedo * (1.1 * nDotL + ambient);

    // Blinn-Phong with exponent 64 by six squarings, normalised by (64 + 8) / (8 pi) = 2.865
    // so the highlight keeps its energy. |KEY + v|^2 = 2 + 2 KEY.v gives n.h without building
    // h; it is 0 only with the light straight behind the surface, where n.l is 0 as well.
    float s = clamp((nDotL + dot(n, v)) * inversesqrt(max(2.0 + 2.0 * dot(KEY, v), 1e-8)), 0.0,
                    1.0);
    s *= s; s *= s; s *= s; s *= s; s *= s; s *= s;
    vec3 specular = vec3(0.25 * 2.865 * s * nDotL);

    // The spheres are stretched towards the camera, so much of what shows is seen at a grazing
    // angle: keep the rim thin (fifth power) and in the band's own hue so it outlines without
    // washing out.
    float f = 1.0 - max(dot(n, v), 0.0);
    float f2 = f * f;
    vec3 rim = mix(vAlbedo, vec3(1.0), 0.35) * (f2 * f2 * f) * (0.2 + 0.4 * vPulse);

    vec3 mapped = toneMap((diffuse + specular + rim) * 1.2);
    FragColor = vec4(toDisplay(mapped), 1.0);
}
