#version 330 core
// The flash limiter's picture: each pixel mixed in linear light between the frame as drawn and
// the picture shown the frame before, by its cell's hold. Where nothing is held the drawn bytes
// pass unchanged.
uniform sampler2D drawn;
uniform sampler2D shown;
uniform sampler2D hold; // 160 x 90
uniform ivec2 size;
out vec4 colour;

vec3 toLinear(vec3 c) {
    return mix(c / 12.92, pow(max((c + 0.055) / 1.055, vec3(0.0)), vec3(2.4)), step(vec3(0.04045), c));
}
vec3 toSrgb(vec3 c) {
    return mix(c * 12.92, 1.055 * pow(max(c, vec3(0.0)), vec3(1.0 / 2.4)) - 0.055, step(vec3(0.0031308), c));
}

void main() {
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    // The cell whose block of whole pixels holds this one, as the cells were read.
    ivec2 cell = (ivec2(160, 90) * (pixel + 1) - 1) / size;
    float h = texelFetch(hold, cell, 0).r;
    vec4 now = texelFetch(drawn, pixel, 0);
    if (h <= 0.0) {
        colour = now;
        return;
    }
    vec3 before = texelFetch(shown, pixel, 0).rgb;
    colour = vec4(toSrgb(mix(toLinear(now.rgb), toLinear(before), h)), now.a);
}
