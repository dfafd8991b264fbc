#version 150 compatibility
// Shadow volumes extruded on the GPU. Each triangle arrives with the far
// corners of its three neighbours (w = 0 where an edge is open). A triangle
// facing the light extrudes its silhouette edges and, for z-fail counting, adds
// a near and a far cap. A volume with a "reach" ends that far from the light and
// always needs its far cap. In robust mode a triangle facing away is processed with
// its winding reversed, so meshes with cracks still give closed volumes.
// Written for GLSL 1.50: drivers that offer geometry shaders only in the core
// language refuse the older extension syntax.

layout(triangles_adjacency) in;
layout(triangle_strip, max_vertices = 18) out;

uniform int robust;
uniform int zpass;
uniform vec3 lightPos;
uniform float reach;

in vec4 eyePosition[];
in vec4 clipPosition[];

vec3 corner[3];

vec4 extrude(vec3 point)
{
    vec3 away = point - lightPos;
    if (reach > 0.0) {
        return gl_ProjectionMatrix * vec4(lightPos + normalize(away) * max(reach, length(away)), 1.0);
    }
    return gl_ProjectionMatrix * vec4(away, 0.0);
}

bool facesLight(vec3 a, vec3 b, vec3 c)
{
    return dot(lightPos - a, cross(b - a, c - a)) > 0.0;
}

// Near vertices take the vertex stage's clip positions, the depths the surface itself gets.
void emitSide(int start, int end)
{
    gl_Position = clipPosition[2 * start];
    EmitVertex();
    gl_Position = extrude(corner[start]);
    EmitVertex();
    gl_Position = clipPosition[2 * end];
    EmitVertex();
    gl_Position = extrude(corner[end]);
    EmitVertex();
    EndPrimitive();
}

void emitNearCap(int a, int b, int c)
{
    gl_Position = clipPosition[2 * a];
    EmitVertex();
    gl_Position = clipPosition[2 * b];
    EmitVertex();
    gl_Position = clipPosition[2 * c];
    EmitVertex();
    EndPrimitive();
}

void emitFarCap(int a, int b, int c)
{
    gl_Position = extrude(corner[a]);
    EmitVertex();
    gl_Position = extrude(corner[c]);
    EmitVertex();
    gl_Position = extrude(corner[b]);
    EmitVertex();
    EndPrimitive();
}

void main()
{
    vec4 across[3];
    for (int k = 0; k < 3; ++k) {
        corner[k] = eyePosition[2 * k].xyz / eyePosition[2 * k].w;
        across[k] = eyePosition[2 * k + 1];
    }
    bool front = facesLight(corner[0], corner[1], corner[2]);
    if (!front && robust == 0) {
        return;
    }
    for (int k = 0; k < 3; ++k) {
        int next = (k + 1) % 3;
        bool open = across[k].w < 0.5;
        // The neighbour runs this edge the other way round: (end, start, across).
        bool neighbourFront = !open && facesLight(corner[next], corner[k], across[k].xyz / across[k].w);
        if (open || neighbourFront != front) {
            if (front) {
                emitSide(k, next);
            } else {
                emitSide(next, k);
            }
        }
    }
    int second = front ? 1 : 2;
    int third = front ? 2 : 1;
    if (zpass == 0) {
        emitNearCap(0, second, third);
    }
    if (zpass == 0 || reach > 0.0) {
        emitFarCap(0, second, third);
    }
}
