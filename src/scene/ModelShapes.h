#pragma once

struct OgreModelMesh;
class PhysicsConvexMesh;
class PhysicsSDK;
class PhysicsTriangleMesh;

// Cooks the physics meshes a scene builds from a model's mesh. Both are null
// when the mesh cannot be cooked (no faces, positions that are not finite, a
// hull without volume).
class ModelShapes {
public:
    // Every face of every submesh, in submesh order, as one static triangle mesh.
    static PhysicsTriangleMesh* cookTriangleMesh(PhysicsSDK& sdk, const OgreModelMesh& mesh);
    // The convex hull of every vertex the submeshes' faces use.
    static PhysicsConvexMesh* cookConvexMesh(PhysicsSDK& sdk, const OgreModelMesh& mesh);
};
