#version 120
// Shadow volumes extruded on the GPU, vertex stage: the triangle-with-adjacency
// stream goes to eye space; w = 0 marks a missing neighbour and stays 0. The
// clip position is reckoned exactly as the lighting program reckons it, so a
// near cap lies on its own surface to the last bit.

attribute vec4 vertex2;

uniform float animationfactor;

varying vec4 eyePosition;
varying vec4 clipPosition;

void main()
{
    vec4 position = animationfactor > 0.0 ? mix(gl_Vertex, vertex2, animationfactor) : gl_Vertex;
    eyePosition = gl_ModelViewMatrix * position;
    clipPosition = gl_ModelViewProjectionMatrix * position;
    gl_Position = clipPosition;
}
