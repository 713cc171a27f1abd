#version 330 core
// Scene 5: violet and amber bands drifting over the spheres on the beat, their hue swung by
// "color", lit by one key light with a Blinn-Phong highlight and a rim that flashes per beat.
in vec3 vWorldPos;
in vec3 vNormal;
in vec2 vUv;
flat in vec3 vEye;

uniform float time;  // seconds into the scene
uniform float color; // cos of the scene time, -1..1

out vec4 FragColor;

const float PI = 3.14159265;
const float BEATS_PER_SECOND = 2.1333334; // 128 / 60
const vec3 VIOLET = vec3(0.3712, 0.0437, 1.0);   // #a23bff in linear
const vec3 AMBER = vec3(1.0, 0.4564, 0.0595);    // #ffb347 in linear
const vec3 GREEN = vec3(0.0290, 0.4560, 0.0083); // the clear colour (0.2, 0.7, 0.113) in linear
const vec3 KEY = vec3(-0.45, 0.75, -0.5);        // towards the light, on the camera's side

// Rotation about the grey axis (1, 1, 1)/sqrt 3 by angle a (Rodrigues): turns the hue and
// keeps the mean of the channels.
vec3 hueRotate(vec3 c, float a) {
    const vec3 k = vec3(0.57735027);
    float ca = cos(a);
    return max(c * ca + cross(k, c) * sin(a) + k * dot(k, c) * (1.0 - ca), 0.0);
}

// Narkowicz's fit of the ACES filmic curve.
vec3 toneMap(vec3 x) {
    return clamp((x * (2.51 * x + 0.03)) / (x * (2.43 * x + 0.59) + 0.14), 0.0, 1.0);
}

void main() {
    float beats = max(time, 0.0) * BEATS_PER_SECOND;
    float pulse = exp(-5.0 * fract(beats));

    // Spiral bands, half a turn a beat; "color" swings the pair of hues by up to 0.6 rad.
    float band = 0.5 + 0.5 * sin(2.0 * PI * (4.0 * vUv.y + vUv.x) - PI * beats);
    vec3 albedo = hueRotate(mix(VIOLET, AMBER, smoothstep(0.3, 0.7, band)), 0.6 * color);

    vec3 v = normalize(vEye - vWorldPos);
    float nLength = length(vNormal);
    vec3 n = nLength > 1e-8 ? vNormal / nLength : v; // a sphere squashed to a disc edge-on
    vec3 l = normalize(KEY);
    vec3 h = normalize(l + v);

    // Ambient from the green surroundings below and a violet sky above.
    vec3 ambient = mix(GREEN, 0.5 * VIOLET, 0.5 + 0.5 * n.y) * 0.35;
    vec3 diffuse = albedo * (max(dot(n, l), 0.0) * 1.1 + ambient);
    // Normalised Blinn-Phong: (s + 8) / (8 pi) keeps the highlight's energy as it tightens.
    float shininess = 64.0;
    vec3 specular = vec3((shininess + 8.0) / (8.0 * PI) * pow(max(dot(n, h), 0.0), shininess))
                    * max(dot(n, l), 0.0) * 0.25;
    // The spheres are stretched towards the camera, so much of what shows is seen at a grazing
    // angle: keep the rim thin and in the band's own hue so it outlines without washing out.
    vec3 rim = mix(albedo, vec3(1.0), 0.35) * pow(1.0 - max(dot(n, v), 0.0), 5.0)
               * (0.2 + 0.4 * pulse);

    vec3 mapped = toneMap((diffuse + specular + rim) * 1.2);
    FragColor = vec4(pow(mapped, vec3(1.0 / 2.2)), 1.0);
}
