#include "model/OgreModelMesh.h"

OgreModelMesh::~OgreModelMesh() {
    for (const auto& [name, submesh] : submeshes) {
        delete submesh;
    }
    for (const auto& [name, animation] : animations) {
        delete animation;
    }
    delete sharedGeometry;
}
