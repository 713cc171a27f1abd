#version 330 core
// Irradiance capture: the cube seen from its centre, one face per view. Each pixel's normal
// is the interpolated object-space position.
layout(location = 0) in vec3 aPos;

uniform mat4 projection;
uniform mat4 view;

out vec3 localPos;

void main() {
    localPos = aPos;
    gl_Position = projection * view * vec4(aPos, 1.0);
}
