#version 120
// Shadow volumes built on the CPU: vertices with w = 0 lie at infinity, straight
// away from the light, or as far from the light as "reach" says when it is set.

uniform vec3 lightInObjectSpace;
uniform float reach;

void main()
{
    vec4 position = gl_Vertex;
    if (position.w < 0.5) {
        vec3 away = position.xyz - lightInObjectSpace;
        position = reach > 0.0 ? vec4(lightInObjectSpace + normalize(away) * max(reach, length(away)), 1.0)
                               : vec4(away, 0.0);
    }
    gl_Position = gl_ModelViewProjectionMatrix * position;
}
