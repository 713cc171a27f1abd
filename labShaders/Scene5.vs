#version 330 core
// Scene 5: stretched spheres; passes world position, normal and texture coordinate on for
// shading, and the camera position taken from the view matrix.
layout (location = 0) in vec3 aPos;
layout (location = 1) in vec3 aNormal;
layout (location = 2) in vec2 aTexCoord;

uniform mat4 projection;
uniform mat4 model;
uniform mat4 view;

out vec3 vWorldPos;
out vec3 vNormal;
out vec2 vUv;
flat out vec3 vEye;

void main() {
    vec4 world = model * vec4(aPos, 1.0);
    vWorldPos = world.xyz;
    vUv = aTexCoord;

    // Normals go through the cofactor matrix, det(M) * inverse(transpose(M)): the same
    // direction as the usual normal matrix but finite when a scale passes through zero (the
    // spheres' x scale does). The sign of det keeps normals outward on mirrored spheres.
    mat3 m = mat3(model);
    mat3 cofactor = mat3(cross(m[1], m[2]), cross(m[2], m[0]), cross(m[0], m[1]));
    float det = dot(m[0], cofactor[0]);
    vNormal = (det < 0.0 ? -1.0 : 1.0) * (cofactor * aNormal);

    // The eye is where the view matrix takes to the origin: -R^T t.
    vEye = -transpose(mat3(view)) * view[3].xyz;
    gl_Position = projection * view * world;
}
