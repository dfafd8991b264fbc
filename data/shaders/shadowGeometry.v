#version 120
// Shadow volumes extruded on the GPU, vertex stage: the triangle-with-adjacency
// stream goes to eye space; w = 0 marks a missing neighbour and stays 0.

attribute vec4 vertex2;

uniform float animationfactor;

varying vec4 eyePosition;

void main()
{
    vec4 position = animationfactor > 0.0 ? mix(gl_Vertex, vertex2, animationfactor) : gl_Vertex;
    eyePosition = gl_ModelViewMatrix * position;
    gl_Position = gl_ProjectionMatrix * eyePosition;
}
