#version 330 core
// Equirectangular sky to cube face. The direction of each pixel becomes longitude and latitude
// in the picture. The bilinear lookup is done by hand so that it wraps around horizontally: the
// texture clamps at its edges, and a plain lookup would leave a seam where longitude wraps from
// +pi to -pi. The lookup also needs no derivatives, so nothing changes at the wrap.
in vec3 localPos;

uniform sampler2D equirectangularMap;

out vec4 FragColor;

const float PI = 3.14159265358979;
// The largest finite 16-bit float.
const float HALF_MAX = 65504.0;

vec3 texelAt(ivec2 size, int x, int y) {
    // Longitude wraps around; latitude stops at the poles.
    int wrappedX = (x + size.x) % size.x;
    int clampedY = clamp(y, 0, size.y - 1);
    // A sun beyond the half-float range is stored as infinity; held at the largest finite value
    // it still filters and mips without turning into NaN.
    return min(texelFetch(equirectangularMap, ivec2(wrappedX, clampedY), 0).rgb, vec3(HALF_MAX));
}

void main() {
    ivec2 size = textureSize(equirectangularMap, 0);
    if (size.x <= 0 || size.y <= 0) {
        // No sky was loaded: black, like any lookup into an empty texture.
        FragColor = vec4(0.0, 0.0, 0.0, 1.0);
        return;
    }
    vec3 direction = normalize(localPos);
    // u = 0.5 looks along +x, u = 0.25 along -z; v = 1 is straight up (the picture's top row).
    vec2 uv = vec2(atan(direction.z, direction.x) / (2.0 * PI) + 0.5,
                   asin(clamp(direction.y, -1.0, 1.0)) / PI + 0.5);

    // Texel centres sit at (i + 0.5) / size.
    vec2 position = uv * vec2(size) - 0.5;
    vec2 corner = floor(position);
    vec2 weight = position - corner;
    int x0 = int(corner.x);
    int y0 = int(corner.y);
    vec3 bottom = mix(texelAt(size, x0, y0), texelAt(size, x0 + 1, y0), weight.x);
    vec3 top = mix(texelAt(size, x0, y0 + 1), texelAt(size, x0 + 1, y0 + 1), weight.x);
    FragColor = vec4(mix(bottom, top, weight.y), 1.0);
}
