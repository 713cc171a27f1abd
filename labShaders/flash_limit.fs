#version 330 core
// The flash limiter's two passes, which read and write the picture the same way: limiterPass 0
// takes the mean of each cell of the 160 x 90 grid, 1 mixes each pixel towards the picture shown
// the frame before by its cell's hold. Each program sets its pass once.
uniform int limiterPass;
uniform sampler2D drawn;
uniform sampler2D shown;
uniform sampler2D hold; // 160 x 90
uniform ivec2 size;     // of the picture
out vec4 colour;

vec3 toLinear(vec3 c) {
    return mix(c / 12.92, pow(max((c + 0.055) / 1.055, vec3(0.0)), vec3(2.4)), step(vec3(0.04045), c));
}
vec3 toSrgb(vec3 c) {
    return mix(c * 12.92, 1.055 * pow(max(c, vec3(0.0)), vec3(1.0 / 2.4)) - 0.055, step(vec3(0.0031308), c));
}

// The limiter's view of the picture: the mean of each cell in linear light, written sRGB-encoded
// so that eight bits keep the dark end. A large picture is read at most 8 x 8 times a cell.
vec4 cellMean() {
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
    return vec4(toSrgb(sum / count), 1.0);
}

// The limited picture: each pixel mixed in linear light between the frame as drawn and the
// picture shown before, by its cell's hold. Where nothing is held the drawn bytes pass unchanged.
vec4 limited() {
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    // The cell whose block of whole pixels holds this one, as the cells were read.
    ivec2 cell = (ivec2(160, 90) * (pixel + 1) - 1) / size;
    float h = texelFetch(hold, cell, 0).r;
    vec4 now = texelFetch(drawn, pixel, 0);
    if (h <= 0.0) {
        return now;
    }
    vec3 before = texelFetch(shown, pixel, 0).rgb;
    return vec4(toSrgb(mix(toLinear(now.rgb), toLinear(before), h)), now.a);
}

void main() {
    colour = limiterPass == 0 ? cellMean() : limited();
}
