#version 330 core
// The flash limiter's view of the picture: the mean of each cell of the 160 x 90 grid in linear
// light, written sRGB-encoded so that eight bits keep the dark end. A large picture is read at
// most 8 x 8 times a cell.
uniform sampler2D drawn;
uniform ivec2 size; // of the picture
out vec4 colour;

vec3 toLinear(vec3 c) {
    return mix(c / 12.92, pow(max((c + 0.055) / 1.055, vec3(0.0)), vec3(2.4)), step(vec3(0.04045), c));
}
vec3 toSrgb(vec3 c) {
    return mix(c * 12.92, 1.055 * pow(max(c, vec3(0.0)), vec3(1.0 / 2.4)) - 0.055, step(vec3(0.0031308), c));
}

void main() {
    ivec2 cell = ivec2(gl_FragCoord.xy);
    ivec2 grid = ivec2(160, 90);
    ivec2 first = cell * size / grid;
    ivec2 last = max(first + 1, (cell + 1) * size / grid);
    ivec2 stride = max(ivec2(1), (last - first + 7) / 8);
    vec3 sum = vec3(0.0);
    float count = 0.0;
    for (int y = first.y; y < last.y; y += stride.y) {
        for (int x = first.x; x < last.x; x += stride.x) {
            sum += toLinear(texelFetch(drawn, ivec2(x, y), 0).rgb);
            count += 1.0;
        }
    }
    colour = vec4(toSrgb(sum / count), 1.0);
}
