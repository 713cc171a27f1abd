#version 330 core
// Second greetings card: a flat card; only the image coordinate goes on.
layout (location = 0) in vec3 aPos;
layout (location = 1) in vec3 aColor;
layout (location = 2) in vec2 aTexCoord;

uniform mat4 model;
uniform mat4 view;
uniform mat4 projection;

out vec2 texCoord;

void main() {
    texCoord = aTexCoord;
    gl_Position = projection * view * model * vec4(aPos, 1.0);
}
