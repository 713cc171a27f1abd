#version 330 core
// Physically based shading of the finale's spheres, in linear HDR:
//  - four point lights through the Cook-Torrance microfacet BRDF
//    f = kd albedo / pi + D G F / (4 (n.l)(n.v)), with inverse-square falloff, and a soft
//    diffuse fill from camPos;
//  - image-based lighting from the sky: diffuse from the irradiance map (looked up per vertex),
//    specular by the split-sum approximation, prefiltered radiance times (F0 A + B) from the
//    BRDF lookup;
//  - ACES filmic tone mapping and gamma 2.2, with the exposure the background uses too, so the
//    sky and its reflections match.
// Everything that depends only on the material is worked out once, outside the light loop, and
// the loop itself takes one reciprocal a light: the half vector is never built (n.h and v.h
// follow from n.l, n.v and v.l), and Smith's masking terms, GGX's denominator and the 4 (n.l)
// (n.v) of the microfacet model share one division.
in vec3 worldPos;
in vec3 worldNormal;
flat in vec3 eyePos;
flat in vec3 markerGlow;
// The sky's irradiance along the outward normal and along the inward one, for the inner wall.
in vec3 irradianceOutside;
in vec3 irradianceInside;

uniform vec3 albedo;
uniform float ao;
uniform float metallic;
uniform float roughness;
uniform vec3 camPos;
uniform vec3 lightPositions[4];
uniform vec3 lightColors[4];
uniform samplerCube prefilterMap;
uniform sampler2D brdfLUT;

out vec4 FragColor;

const float PI = 3.14159265358979;
// Shared with the background (Scene7-PBR6.fs): one exposure for sky and reflections.
const float EXPOSURE = 1.0;
// Roughness 0..1 lies in pre-filter levels 0..4.
const float PREFILTER_LEVELS = 4.0;
// Below this a point light's highlight shrinks under a pixel and GGX's peak overflows.
const float MIN_ROUGHNESS = 0.045;
// The fill at camPos: warm, diffuse only, its falloff 1 / (d^2 + 1) as from a bulb of unit size,
// so that the late camera, which passes close to the surfaces, never sees it burn out.
const vec3 FILL_LIGHT = vec3(1.2, 1.0, 0.85);

// Narkowicz's fit of the ACES filmic curve.
vec3 acesFilmic(vec3 x) {
    return clamp((x * (2.51 * x + 0.03)) / (x * (2.43 * x + 0.59) + 0.14), 0.0, 1.0);
}

// x^(1/2.2) for x in [0, 1] (linear to display) from two square roots, within 0.53 of an
// 8-bit step of the power.
vec3 toDisplay(vec3 x) {
    vec3 root = sqrt(max(x, 0.0));
    return 0.9991871 * root + 0.0726644 * sqrt(root) - 0.0718515 * x;
}

void main() {
    // The finale drives these beyond their physical range (metallic up to +-2.1, roughness down
    // to 0.001); held in range, nothing turns negative or NaN.
    float metal = clamp(metallic, 0.0, 1.0);
    float rough = clamp(roughness, MIN_ROUGHNESS, 1.0);
    float alpha = rough * rough;
    float alpha2 = alpha * alpha;
    // Schlick's G1 = x / (x (1 - k) + k), k = (roughness + 1)^2 / 8 for analytic lights (Karis
    // 2013: the remapping that keeps grazing highlights from going hot).
    float k = (rough + 1.0) * (rough + 1.0) * 0.125;
    vec3 f0 = mix(vec3(0.04), albedo, metal);
    vec3 diffuseAlbedo = (1.0 - metal) * albedo * (1.0 / PI);

    // Interpolated normals are never zero on these meshes; the guards keep it so everywhere.
    vec3 n = worldNormal * inversesqrt(max(dot(worldNormal, worldNormal), 1e-20));
    // The late camera passes through the stretched spheres; from inside, the wall faces the eye.
    if (!gl_FrontFacing) {
        n = -n;
    }
    vec3 toEye = eyePos - worldPos;
    vec3 v = toEye * inversesqrt(max(dot(toEye, toEye), 1e-20));
    float nDotVRaw = dot(n, v);
    // Interpolated normals on the silhouette can face slightly away from the eye.
    float nDotV = max(nDotVRaw, 1e-3);
    // 4 (n.v (1 - k) + k) alpha^2 / pi, the part of every light's specular denominator that
    // depends only on the view.
    float viewMasking = nDotV * (1.0 - k) + k;

    vec3 direct = vec3(0.0);
    for (int i = 0; i < 4; ++i) {
        vec3 toLight = lightPositions[i] - worldPos;
        float inverseDistance = inversesqrt(max(dot(toLight, toLight), 1e-4));
        vec3 l = toLight * inverseDistance;
        float nDotL = max(dot(n, l), 0.0);
        float vDotL = dot(v, l);
        // h = (v + l) / |v + l| and |v + l|^2 = 2 + 2 v.l: n.h and v.h without building h.
        float inverseHalfLength = inversesqrt(max(2.0 + 2.0 * vDotL, 1e-8));
        float nDotH = clamp((nDotL + nDotVRaw) * inverseHalfLength, 0.0, 1.0);
        float vDotH = clamp((1.0 + vDotL) * inverseHalfLength, 0.0, 1.0);
        float c = 1.0 - vDotH;
        float c2 = c * c;
        vec3 fresnel = f0 + (1.0 - f0) * (c2 * c2 * c);
        // D G / (4 n.l n.v) with G = G1(n.l) G1(n.v): the n.l and n.v cancel, leaving
        // alpha^2 / (4 pi d^2 (n.l (1 - k) + k) (n.v (1 - k) + k)), d = (n.h)^2 (alpha^2 - 1) + 1.
        float d = nDotH * nDotH * (alpha2 - 1.0) + 1.0;
        float specular =
            alpha2 / (4.0 * PI * d * d * (nDotL * (1.0 - k) + k) * viewMasking);
        vec3 reflected = (1.0 - fresnel) * diffuseAlbedo + specular * fresnel;
        direct += reflected * lightColors[i] * (nDotL * inverseDistance * inverseDistance);
    }
    vec3 toFill = camPos - worldPos;
    float fillDistance2 = dot(toFill, toFill);
    float fillNDotL = max(dot(n, toFill), 0.0) * inversesqrt(max(fillDistance2, 1e-8));
    direct += diffuseAlbedo * FILL_LIGHT * (fillNDotL / (fillDistance2 + 1.0));

    // Split-sum specular: prefiltered sky along the mirror direction, scaled by the BRDF's
    // directional albedo F0 A + B. What the specular lobe does not reflect is left to diffuse.
    // The lookup table has no mip levels, so an explicit level 0 reads the same texels without
    // working out derivatives.
    vec3 r = reflect(-v, n);
    vec3 prefiltered = textureLod(prefilterMap, r, rough * PREFILTER_LEVELS).rgb;
    vec2 scaleBias = textureLod(brdfLUT, vec2(nDotV, rough), 0.0).rg;
    vec3 specularAlbedo = f0 * scaleBias.x + scaleBias.y;
    vec3 diffuseWeight = (1.0 - specularAlbedo) * (1.0 - metal);
    vec3 irradiance = gl_FrontFacing ? irradianceOutside : irradianceInside;
    vec3 ambient = (diffuseWeight * albedo * irradiance + prefiltered * specularAlbedo) * ao;

    vec3 color = (ambient + direct + markerGlow) * EXPOSURE;
    FragColor = vec4(toDisplay(acesFilmic(color)), 1.0);
}
