#version 330 core
// First greetings card: hands the image coordinate on, with how far the card has turned from
// the viewer (the fragment stage lights its edges with it).
layout (location = 0) in vec3 aPos;
layout (location = 1) in vec3 aColor;
layout (location = 2) in vec2 aTexCoord;

uniform mat4 model;
uniform mat4 view;
uniform mat4 projection;

out vec2 texCoord;
out float turn;

void main() {
    texCoord = aTexCoord;
    // The card's normal in view space: z is 1 facing the viewer and shrinks as the card turns.
    // A turn keeps its length 1; the guard only keeps a degenerate matrix from dividing by 0.
    vec3 normal = mat3(view * model) * vec3(0.0, 0.0, 1.0);
    turn = 1.0 - abs(normal.z * inversesqrt(max(dot(normal, normal), 1e-12)));
    gl_Position = projection * view * model * vec4(aPos, 1.0);
}
