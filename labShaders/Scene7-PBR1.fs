#version 330 core
// Physically based shading of the finale's spheres, in linear HDR:
//  - four point lights through the Cook-Torrance microfacet BRDF
//    f = kd albedo / pi + D G F / (4 (n.l)(n.v)), with inverse-square falloff, and a soft
//    diffuse fill from camPos;
//  - image-based lighting from the sky: diffuse from the irradiance map, specular by the
//    split-sum approximation, prefiltered radiance times (F0 A + B) from the BRDF lookup;
//  - ACES filmic tone mapping and gamma 2.2, with the exposure the background uses too, so the
//    sky and its reflections match.
in vec3 worldPos;
in vec3 worldNormal;
flat in vec3 eyePos;
flat in vec3 markerColor;

uniform vec3 albedo;
uniform float ao;
uniform float metallic;
uniform float roughness;
uniform vec3 camPos;
uniform float time;
uniform vec3 lightPositions[4];
uniform vec3 lightColors[4];
uniform samplerCube irradianceMap;
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
const float MARKER_GLOW = 4.0;
const float BEATS_PER_SECOND = 2.1333334;

// GGX / Trowbridge-Reitz normal distribution, alpha = roughness^2.
float distributionGgx(float nDotH, float alpha) {
    float alpha2 = alpha * alpha;
    float denominator = nDotH * nDotH * (alpha2 - 1.0) + 1.0;
    return alpha2 / (PI * denominator * denominator);
}

// Smith's separable masking-shadowing with Schlick's G1, k = (roughness + 1)^2 / 8 for
// analytic lights (Karis 2013: the remapping that keeps grazing highlights from going hot).
float geometrySmith(float nDotV, float nDotL, float roughness) {
    float k = (roughness + 1.0) * (roughness + 1.0) / 8.0;
    float maskV = nDotV / (nDotV * (1.0 - k) + k);
    float maskL = nDotL / (nDotL * (1.0 - k) + k);
    return maskV * maskL;
}

vec3 fresnelSchlick(float cosTheta, vec3 f0) {
    float c = clamp(1.0 - cosTheta, 0.0, 1.0);
    float c2 = c * c;
    return f0 + (1.0 - f0) * (c2 * c2 * c);
}

// Radiance reflected towards v from a point light of the given intensity at the given place.
vec3 pointLight(vec3 position, vec3 intensity, vec3 n, vec3 v, float nDotV, vec3 f0, float metal,
                float rough) {
    vec3 toLight = position - worldPos;
    float distance2 = max(dot(toLight, toLight), 1e-4);
    vec3 l = toLight * inversesqrt(distance2);
    float nDotL = dot(n, l);
    if (nDotL <= 0.0) {
        return vec3(0.0);
    }
    vec3 h = normalize(v + l);
    float nDotH = max(dot(n, h), 0.0);
    vec3 fresnel = fresnelSchlick(max(dot(h, v), 0.0), f0);
    vec3 specular = distributionGgx(nDotH, rough * rough) * geometrySmith(nDotV, nDotL, rough) *
                    fresnel / (4.0 * nDotV * nDotL + 1e-4);
    vec3 diffuse = (1.0 - fresnel) * (1.0 - metal) * albedo / PI;
    return (diffuse + specular) * (intensity / distance2) * nDotL;
}

// Narkowicz's fit of the ACES filmic curve.
vec3 acesFilmic(vec3 x) {
    return clamp((x * (2.51 * x + 0.03)) / (x * (2.43 * x + 0.59) + 0.14), 0.0, 1.0);
}

void main() {
    // The finale drives these beyond their physical range (metallic up to +-2.1, roughness down
    // to 0.001); held in range, nothing turns negative or NaN.
    float metal = clamp(metallic, 0.0, 1.0);
    float rough = clamp(roughness, MIN_ROUGHNESS, 1.0);

    vec3 n = normalize(worldNormal);
    // The late camera passes through the stretched spheres; from inside, the wall faces the eye.
    if (!gl_FrontFacing) {
        n = -n;
    }
    vec3 v = normalize(eyePos - worldPos);
    // Interpolated normals on the silhouette can face slightly away from the eye.
    float nDotV = max(dot(n, v), 1e-3);
    vec3 f0 = mix(vec3(0.04), albedo, metal);

    vec3 direct = vec3(0.0);
    for (int i = 0; i < 4; ++i) {
        direct += pointLight(lightPositions[i], lightColors[i], n, v, nDotV, f0, metal, rough);
    }
    vec3 toFill = camPos - worldPos;
    float fillDistance2 = dot(toFill, toFill);
    float fillNDotL = max(dot(n, toFill * inversesqrt(max(fillDistance2, 1e-8))), 0.0);
    direct += (1.0 - metal) * albedo / PI * FILL_LIGHT * fillNDotL / (fillDistance2 + 1.0);

    // Split-sum specular: prefiltered sky along the mirror direction, scaled by the BRDF's
    // directional albedo F0 A + B. What the specular lobe does not reflect is left to diffuse.
    vec3 r = reflect(-v, n);
    vec3 prefiltered = textureLod(prefilterMap, r, rough * PREFILTER_LEVELS).rgb;
    vec2 scaleBias = texture(brdfLUT, vec2(nDotV, rough)).rg;
    vec3 specularAlbedo = f0 * scaleBias.x + scaleBias.y;
    vec3 diffuseWeight = (1.0 - specularAlbedo) * (1.0 - metal);
    vec3 ambient =
        (diffuseWeight * albedo * texture(irradianceMap, n).rgb + prefiltered * specularAlbedo) *
        ao;

    // Markers flash on every beat and settle.
    float beat = fract(time * BEATS_PER_SECOND);
    float strongest = max(max(markerColor.r, markerColor.g), max(markerColor.b, 1e-3));
    vec3 glow = markerColor / strongest * MARKER_GLOW * (1.0 + 1.5 * (1.0 - beat) * (1.0 - beat));

    vec3 color = (ambient + direct + glow) * EXPOSURE;
    FragColor = vec4(pow(acesFilmic(color), vec3(1.0 / 2.2)), 1.0);
}
