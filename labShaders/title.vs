#version 330 core
// Title card: hands on the image coordinate, the tint of the card's corner and how far the card
// has turned from the viewer (the rim of the fragment stage lights up with it).
layout (location = 0) in vec3 aPos;
layout (location = 1) in vec3 aColor;
layout (location = 2) in vec2 aTexCoord;

uniform mat4 model;
uniform mat4 view;
uniform mat4 projection;

out vec2 texCoord;
out vec3 tint; // linear
out float turn;

const vec3 VIOLET = vec3(0.36822, 0.03981, 1.0); // (0.635, 0.231, 1.0), #a23bff, in linear
const vec3 CYAN = vec3(0.01429, 0.68678, 1.0);   // (0.145, 0.843, 1.0), #25d7ff, in linear

void main() {
    texCoord = aTexCoord;
    // Linear in the corner colour, so the same across the card as if mixed per pixel.
    tint = mix(VIOLET, CYAN, aColor.g);
    // The card's normal in view space: z is 1 facing the viewer and shrinks as the card turns.
    // A turn keeps its length 1; the guard only keeps a degenerate matrix from dividing by 0.
    vec3 normal = mat3(view * model) * vec3(0.0, 0.0, 1.0);
    float normalZ = normal.z * inversesqrt(max(dot(normal, normal), 1e-12));
    turn = 1.0 - abs(normalZ);
    gl_Position = projection * view * model * vec4(aPos, 1.0);
}
