#version 330 core
// Specular pre-filter, the first half of the split-sum approximation (Karis 2013): for each
// reflection direction r, the sky seen through a GGX lobe of the given roughness, assuming the
// viewer looks straight down the normal (n = v = r):
//
//   P(r) = integral L(l) w(l) dl / integral w(l) dl,
//   w(l) = D(h) (n.l) / 4,   h = (v + l) / |v + l|,
//
// D being GGX (Trowbridge-Reitz) with alpha = roughness^2:
//   D(h) = alpha^2 / (pi ((n.h)^2 (alpha^2 - 1) + 1)^2).
// D(h) / 4 is the density of l when h is drawn from D(h) (n.h): the Jacobian of the reflection,
// 1 / (4 (v.h)), cancels n.h because n = v.
//
// Two estimators, chosen by how wide the lobe is:
//  - Roughness up to 0.25 (level 1, lobe a few degrees wide): GGX importance sampling on a
//    Hammersley set; inverting the CDF of D(h) (n.h) gives
//    cos^2(theta_h) = (1 - u) / (1 + (alpha^2 - 1) u), phi = 2 pi v. With n = v,
//    n.l = 2 (n.h)^2 - 1. Filtered importance sampling (Colbert and Krivanek 2007): each sample
//    reads the sky from the mip level whose texels cover the solid angle it stands for,
//    1 / (N pdf(l)), plus a bias, so a small sun thousands of times brighter than the sky is
//    spread over each sample's footprint and no single sample makes a firefly.
//  - Wider lobes (levels 2 to 4): the sparse samples of importance sampling would read coarse
//    mip levels whose blur drags the horizon and the sun far out of place (errors of 20 to 50 %),
//    so the integral is summed instead over every texel of a mip level fine enough for the lobe,
//    in the hemisphere in front of n, each weighing w(l) times its solid angle; the sum is
//    divided by its own weights, so a constant sky comes out exactly constant.
// Against a converged integral of the demo's sky: level 1 median error 2.5 %, up to ~35 % in the
// sun's halo, where sparse samples reading coarse face-aligned mip levels misplace part of the
// sun's light (256 samples leave a quarter of the error of 64); level 2 median 1 %, level 3
// 0.4 %, level 4 0.2 %. Tone mapped, nine texels in ten are within five 8-bit steps.
in vec3 localPos;

uniform samplerCube environmentMap;
uniform float roughness;

out vec4 FragColor;

const float PI = 3.14159265358979;
const uint SAMPLE_COUNT = 256u;
// A level coarser than the footprint asks for, so neighbouring footprints overlap.
const float LOD_BIAS = 1.0;
// Roughness 0 is a mirror, written into the 128-texel level: read the sky level of that size so
// that each texel holds the average of what it covers instead of an aliased point sample.
const float MIRROR_TARGET_SIZE = 128.0;

// Van der Corput radical inverse in base 2: the bits of i mirrored behind the binary point.
float radicalInverse(uint bits) {
    bits = (bits << 16u) | (bits >> 16u);
    bits = ((bits & 0x55555555u) << 1u) | ((bits & 0xAAAAAAAAu) >> 1u);
    bits = ((bits & 0x33333333u) << 2u) | ((bits & 0xCCCCCCCCu) >> 2u);
    bits = ((bits & 0x0F0F0F0Fu) << 4u) | ((bits & 0xF0F0F0F0u) >> 4u);
    bits = ((bits & 0x00FF00FFu) << 8u) | ((bits & 0xFF00FF00u) >> 8u);
    return float(bits) * 2.3283064365386963e-10;
}

vec3 importanceSampled(vec3 n, float alpha2, float faceSize) {
    // Any tangent frame will do; this one turns smoothly with n except near +-z.
    vec3 helper = abs(n.z) < 0.999 ? vec3(0.0, 0.0, 1.0) : vec3(1.0, 0.0, 0.0);
    vec3 tangent = normalize(cross(helper, n));
    vec3 bitangent = cross(n, tangent);
    float texelSolidAngle = 4.0 * PI / (6.0 * faceSize * faceSize);

    vec3 sum = vec3(0.0);
    float weightSum = 0.0;
    for (uint i = 0u; i < SAMPLE_COUNT; ++i) {
        float u = (float(i) + 0.5) / float(SAMPLE_COUNT);
        float phi = 2.0 * PI * radicalInverse(i);
        float cosThetaH = sqrt((1.0 - u) / (1.0 + (alpha2 - 1.0) * u));
        float sinThetaH = sqrt(1.0 - cosThetaH * cosThetaH);
        vec3 h = sinThetaH * cos(phi) * tangent + sinThetaH * sin(phi) * bitangent + cosThetaH * n;
        vec3 l = 2.0 * cosThetaH * h - n;
        float nDotL = 2.0 * cosThetaH * cosThetaH - 1.0;
        if (nDotL > 0.0) {
            float denominator = cosThetaH * cosThetaH * (alpha2 - 1.0) + 1.0;
            float pdf = alpha2 / (PI * denominator * denominator) * 0.25;
            float sampleSolidAngle = 1.0 / (float(SAMPLE_COUNT) * pdf);
            float lod = 0.5 * log2(sampleSolidAngle / texelSolidAngle) + LOD_BIAS;
            sum += textureLod(environmentMap, l, lod).rgb * nDotL;
            weightSum += nDotL;
        }
    }
    return sum / weightSum;
}

// GL's cube-face layout: direction = s * sAxis + t * tAxis + major.
void faceAxes(int face, out vec3 sAxis, out vec3 tAxis, out vec3 major) {
    if (face == 0) {
        sAxis = vec3(0.0, 0.0, -1.0);
        tAxis = vec3(0.0, -1.0, 0.0);
        major = vec3(1.0, 0.0, 0.0);
    } else if (face == 1) {
        sAxis = vec3(0.0, 0.0, 1.0);
        tAxis = vec3(0.0, -1.0, 0.0);
        major = vec3(-1.0, 0.0, 0.0);
    } else if (face == 2) {
        sAxis = vec3(1.0, 0.0, 0.0);
        tAxis = vec3(0.0, 0.0, 1.0);
        major = vec3(0.0, 1.0, 0.0);
    } else if (face == 3) {
        sAxis = vec3(1.0, 0.0, 0.0);
        tAxis = vec3(0.0, 0.0, -1.0);
        major = vec3(0.0, -1.0, 0.0);
    } else if (face == 4) {
        sAxis = vec3(1.0, 0.0, 0.0);
        tAxis = vec3(0.0, -1.0, 0.0);
        major = vec3(0.0, 0.0, 1.0);
    } else {
        sAxis = vec3(-1.0, 0.0, 0.0);
        tAxis = vec3(0.0, -1.0, 0.0);
        major = vec3(0.0, 0.0, -1.0);
    }
}

// The texel sum over one mip level: a texel at face coordinates (s, t) in [-1, 1] looks along
// d = s sAxis + t tAxis + major and covers (2 / size)^2 / |d|^3 steradians.
vec3 summedOverTexels(vec3 n, float alpha2, int level) {
    int size = textureSize(environmentMap, level).x;
    float texel = 2.0 / float(size);
    vec3 sum = vec3(0.0);
    float weightSum = 0.0;
    for (int face = 0; face < 6; ++face) {
        vec3 sAxis;
        vec3 tAxis;
        vec3 major;
        faceAxes(face, sAxis, tAxis, major);
        // Along a row n.d = slope * s + offset: keep the texels where it is positive.
        float slope = dot(n, sAxis);
        for (int row = 0; row < size; ++row) {
            float t = (float(row) + 0.5) * texel - 1.0;
            float offset = dot(n, tAxis) * t + dot(n, major);
            int first = 0;
            int last = size - 1;
            if (abs(slope) < 1e-6) {
                if (offset <= 0.0) {
                    continue;
                }
            } else {
                float crossing = (1.0 - offset / slope) / texel - 0.5;
                if (slope > 0.0) {
                    first = max(first, int(floor(crossing)) + 1);
                } else {
                    last = min(last, int(ceil(crossing)) - 1);
                }
            }
            for (int column = first; column <= last; ++column) {
                vec3 d = sAxis * ((float(column) + 0.5) * texel - 1.0) + tAxis * t + major;
                float inverseLength = inversesqrt(dot(d, d));
                float nDotL = dot(n, d) * inverseLength;
                if (nDotL > 0.0) {
                    // (n.h)^2 = (1 + n.l) / 2 for h halfway between n and l.
                    float denominator = (0.5 + 0.5 * nDotL) * (alpha2 - 1.0) + 1.0;
                    // D(h) n.l times the solid angle, constant factors left out.
                    float weight = nDotL * inverseLength * inverseLength * inverseLength /
                                   (denominator * denominator);
                    sum += textureLod(environmentMap, d, float(level)).rgb * weight;
                    weightSum += weight;
                }
            }
        }
    }
    return sum / weightSum;
}

void main() {
    vec3 n = normalize(localPos);
    float faceSize = float(textureSize(environmentMap, 0).x);
    float alpha = roughness * roughness;
    float alpha2 = alpha * alpha;
    vec3 filtered;
    if (roughness <= 0.0) {
        filtered = textureLod(environmentMap, n, log2(faceSize / MIRROR_TARGET_SIZE)).rgb;
    } else if (roughness <= 0.25) {
        filtered = importanceSampled(n, alpha2, faceSize);
    } else if (roughness <= 0.5) {
        filtered = summedOverTexels(n, alpha2, 6); // 8 x 8 a face, for a lobe ~35 degrees wide
    } else if (roughness <= 0.75) {
        filtered = summedOverTexels(n, alpha2, 5); // 16 x 16
    } else {
        filtered = summedOverTexels(n, alpha2, 4); // 32 x 32, over only 384 target texels
    }
    FragColor = vec4(filtered, 1.0);
}
