#version 120
// Per-pixel lighting, vertex stage: blends the morph target in and hands the
// eye-space position and surface frame to the fragment stage.

attribute vec3 tangent;
attribute vec3 binormal;
attribute vec4 vertex2;

uniform float animationfactor;

varying vec3 eyePosition;
varying vec3 eyeNormal;
varying vec3 eyeTangent;
varying vec3 eyeBinormal;
varying vec3 objectPosition;

void main()
{
    // Without a playing morph the attribute may hold anything; leave it out.
    vec4 position = animationfactor > 0.0 ? mix(gl_Vertex, vertex2, animationfactor) : gl_Vertex;
    vec4 eye = gl_ModelViewMatrix * position;
    eyePosition = eye.xyz / eye.w;
    eyeNormal = gl_NormalMatrix * gl_Normal;
    eyeTangent = gl_NormalMatrix * tangent;
    eyeBinormal = gl_NormalMatrix * binormal;
    objectPosition = position.xyz;
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_Position = gl_ModelViewProjectionMatrix * position;
}
