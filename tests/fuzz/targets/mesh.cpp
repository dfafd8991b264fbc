// Mesh XML through the model loader: parse, build the record tree, analyse the
// edges, build the vertex arrays and play the first animation for a while.
#include <GL/glew.h>
#include <memory>

#include "FuzzSupport.h"
#include "model/MeshLoader.h"

namespace {

// The animation step unbinds the vertex buffer; there is no OpenGL here.
void GLAPIENTRY noBindBuffer(GLenum, GLuint) {}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Fuzz::quietLogs();
    __glewBindBuffer = noBindBuffer;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const XMLNode root = XMLNode::parseText(std::string(Fuzz::text(data, size)), "mesh");
    const std::unique_ptr<OgreModel> model(MeshLoader().loadXMLModel("", root));
    if (!model) {
        return 0;
    }
    const std::unique_ptr<OgreModelMesh> mesh(model->mesh);
    model->createVertexArrays();
    if (!mesh->animations.empty()) {
        model->setAnimation(mesh->animations.begin()->first);
        for (int frame = 0; frame < 8; ++frame) {
            model->updateAnimation();
        }
    }
    return 0;
}
