#version 330 core
// Sky background: the cube around the eye, turned with the view but never moved, pinned to the
// far plane (z = w) so that everything else drawn in front of it wins the depth test.
layout(location = 0) in vec3 aPos;

uniform mat4 projection;
uniform mat4 view;

out vec3 localPos;

void main() {
    localPos = aPos;
    vec4 position = projection * mat4(mat3(view)) * vec4(aPos, 1.0);
    gl_Position = position.xyww;
}
