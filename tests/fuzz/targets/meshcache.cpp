// Mesh XML through the model loader and on through the model cache, as the first
// start after installing a model does: whatever the loader builds, its cache must
// give back whole. A refused cache would be rebuilt at every start.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "FuzzSupport.h"
#include "model/ModelCache.h"
#include "model/MeshLoader.h"

namespace {

constexpr const char* kCache = "../fuzz.mesh.vorm";

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "meshcache: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Fuzz::quietLogs();
    Fuzz::enterScratchDataRoot();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const XMLNode root = XMLNode::parseText(std::string(Fuzz::text(data, size)), "mesh");
    const std::unique_ptr<OgreModel> model(MeshLoader().loadXMLModel("", root));
    if (!model) {
        return 0;
    }
    const std::unique_ptr<OgreModelMesh> mesh(model->mesh);
    if (!ModelCache::saveModel(*model, kCache)) {
        fail("the cache could not be written");
    }
    const std::unique_ptr<OgreModel> cached(ModelCache::loadModelCache("", kCache));
    const std::unique_ptr<OgreModelMesh> cachedMesh(cached->mesh);
    if (!cachedMesh || ModelCache::modelChanged) {
        fail("the cache of a model the loader built was refused");
    }
    if (cachedMesh->submeshes.size() != mesh->submeshes.size() ||
        cachedMesh->animations.size() != mesh->animations.size()) {
        fail("the cache gave back another model");
    }
    return 0;
}
