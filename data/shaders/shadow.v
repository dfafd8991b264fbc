#version 120
// Shadow volumes built on the CPU: vertices with w = 0 lie at infinity, straight
// away from the light.

uniform vec3 lightInObjectSpace;

void main()
{
    vec4 position = gl_Vertex;
    if (position.w < 0.5) {
        position = vec4(position.xyz - lightInObjectSpace, 0.0);
    }
    gl_Position = gl_ModelViewProjectionMatrix * position;
}
