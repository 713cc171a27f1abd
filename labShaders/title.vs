#version 330 core
// Title card: hands the image coordinate on, with how far the card has turned from the viewer
// (the rim of the fragment stage lights up with it).
layout (location = 0) in vec3 aPos;
layout (location = 1) in vec3 aColor;
layout (location = 2) in vec2 aTexCoord;

uniform mat4 model;
uniform mat4 view;
uniform mat4 projection;

out vec2 texCoord;
out vec3 cornerColor;
out float turn;

void main() {
    texCoord = aTexCoord;
    cornerColor = aColor;
    // The card's normal in view space: z is 1 facing the viewer and shrinks as the card turns.
    vec3 normal = normalize(mat3(view * model) * vec3(0.0, 0.0, 1.0));
    turn = 1.0 - abs(normal.z);
    gl_Position = projection * view * model * vec4(aPos, 1.0);
}
