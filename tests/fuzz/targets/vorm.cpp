// The model cache (.vorm) as the loader reads it: once as the file stands, where
// the checksum line turns nearly every change away, and once with a checksum
// line that fits, so the archive reader and the record checks meet the bytes.
#include <GL/glew.h>
#include <memory>

#include "FuzzSupport.h"
#include "model/ModelCache.h"

namespace {

void GLAPIENTRY noBindBuffer(GLenum, GLuint) {}

// The archive text of a cache file: what comes before its checksum line.
std::string archiveText(std::string content) {
    const std::size_t line = content.rfind("checksum ");
    if (line != std::string::npos && line > 0 && content[line - 1] == '\n') {
        content.resize(line - 1);
    }
    return content;
}

// Loads as the model loader does after a cache hit, then lets the model go.
void load(const std::string& content) {
    const std::unique_ptr<OgreModel> model(ModelCache::loadModelCacheContent("", content, "fuzz.vorm"));
    ModelCache::modelChanged = false;
    const std::unique_ptr<OgreModelMesh> mesh(model->mesh);
    if (!mesh) {
        return;
    }
    model->createVertexArrays();
    if (!mesh->animations.empty()) {
        model->setAnimation(mesh->animations.begin()->first);
        for (int frame = 0; frame < 8; ++frame) {
            model->updateAnimation();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Fuzz::quietLogs();
    __glewBindBuffer = noBindBuffer;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string content(Fuzz::text(data, size));
    load(content);
    load(ModelCache::withChecksum(archiveText(content)));
    return 0;
}
