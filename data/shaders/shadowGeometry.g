#version 150 compatibility
// Shadow volumes extruded on the GPU. Each triangle arrives with the far
// corners of its three neighbours (w = 0 where an edge is open). A triangle
// facing the light extrudes its silhouette edges and, for z-fail counting, adds
// a near and a far cap. In robust mode a triangle facing away is processed with
// its winding reversed, so meshes with cracks still give closed volumes.
// Written for GLSL 1.50: drivers that offer geometry shaders only in the core
// language refuse the older extension syntax.

layout(triangles_adjacency) in;
layout(triangle_strip, max_vertices = 18) out;

uniform int robust;
uniform int zpass;
uniform vec3 lightPos;

in vec4 eyePosition[];

vec4 project(vec3 point)
{
    return gl_ProjectionMatrix * vec4(point, 1.0);
}

vec4 projectToInfinity(vec3 point)
{
    return gl_ProjectionMatrix * vec4(point - lightPos, 0.0);
}

bool facesLight(vec3 a, vec3 b, vec3 c)
{
    return dot(lightPos - a, cross(b - a, c - a)) > 0.0;
}

void emitSide(vec3 start, vec3 end)
{
    gl_Position = project(start);
    EmitVertex();
    gl_Position = projectToInfinity(start);
    EmitVertex();
    gl_Position = project(end);
    EmitVertex();
    gl_Position = projectToInfinity(end);
    EmitVertex();
    EndPrimitive();
}

void emitCaps(vec3 a, vec3 b, vec3 c)
{
    gl_Position = project(a);
    EmitVertex();
    gl_Position = project(b);
    EmitVertex();
    gl_Position = project(c);
    EmitVertex();
    EndPrimitive();
    gl_Position = projectToInfinity(a);
    EmitVertex();
    gl_Position = projectToInfinity(c);
    EmitVertex();
    gl_Position = projectToInfinity(b);
    EmitVertex();
    EndPrimitive();
}

void main()
{
    vec3 corner[3];
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
        vec3 start = corner[k];
        vec3 end = corner[(k + 1) % 3];
        bool open = across[k].w < 0.5;
        // The neighbour runs this edge the other way round: (end, start, across).
        bool neighbourFront = !open && facesLight(end, start, across[k].xyz / across[k].w);
        if (open || neighbourFront != front) {
            if (front) {
                emitSide(start, end);
            } else {
                emitSide(end, start);
            }
        }
    }
    if (zpass == 0) {
        if (front) {
            emitCaps(corner[0], corner[1], corner[2]);
        } else {
            emitCaps(corner[0], corner[2], corner[1]);
        }
    }
}
