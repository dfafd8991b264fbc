#include "app/Converter.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include <IL/il.h>
#include <IL/ilu.h>
#include <IL/ilut.h>

#include "core/Log.h"
#include "core/Util.h"
#include "model/ModelCache.h"
#include "scene/OgreLoader.h"
#include "scene/OgreScene.h"

VORN_FILE_LOGGER("main")

namespace {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool endsWith(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

bool isImageFile(const std::string& lowerPath) {
    static const char* const extensions[] = {".bmp", ".cut", ".dcx", ".dds", ".gif", ".ico", ".jng", ".jpg",
                                             ".lbm", ".lif", ".mdl", ".mng", ".oil", ".pcd", ".pcx", ".pic",
                                             ".png", ".pnm", ".psd", ".raw", ".sgi", ".tga", ".tif", ".wal"};
    return std::any_of(std::begin(extensions), std::end(extensions),
                       [&](const char* extension) { return endsWith(lowerPath, extension); });
}

// Everything before the last ".".
std::string withoutExtension(const std::string& path) {
    return path.substr(0, path.find_last_of('.'));
}

// Everything after the last "/" or "\\".
std::string fileName(const std::string& path) {
    return path.substr(path.find_last_of("/\\") + 1);
}

void logImageLibraryErrors() {
    for (ILenum error = ilGetError(); error != IL_NO_ERROR; error = ilGetError()) {
        LOG_ERROR("IL_ERROR: " << iluErrorString(error));
    }
}

// One image name of the image library, bound while it lives.
class BoundImage {
public:
    BoundImage() {
        ilGenImages(1, &name);
        ilBindImage(name);
    }
    ~BoundImage() { ilDeleteImages(1, &name); }
    BoundImage(const BoundImage&) = delete;
    BoundImage& operator=(const BoundImage&) = delete;

private:
    ILuint name = 0;
};

ILint askCompression(const std::string& path) {
    const MessageBoxResult answer = Util::showMessageBox(
        "Select Compression mode: Press\n\nYes\t\tfor DXT1\nNo\t\tfor DXT3\nCancel\t\tfor DXT5",
        fileName(path), MessageBoxIcon::Question, MessageBoxButtons::YesNoCancel);
    return answer == MessageBoxResult::Yes ? IL_DXT1 : answer == MessageBoxResult::No ? IL_DXT3 : IL_DXT5;
}

// The image library writes through our stream, whose errors it does not check.
bool writeDds(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return false;
    }
    const bool saved = ilSaveF(IL_DDS, file) != 0;
    const bool written = saved && std::fflush(file) == 0 && !std::ferror(file);
    return std::fclose(file) == 0 && written;
}

// The bound image as a DDS file that replaces `target` only once it is whole: a failed
// save, an interrupted prompt or a target that is the source itself never loses the file.
bool saveDds(const std::string& target) {
    const std::string temporary = Util::createUniqueFile(target);
    if (temporary.empty()) {
        return false;
    }
    std::error_code error;
    if (writeDds(temporary)) {
        std::filesystem::rename(temporary, target, error);
        if (!error) {
            return true;
        }
    }
    std::filesystem::remove(temporary, error);
    return false;
}

void convertFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return;
    }
    const std::string lowerPath = lowerCase(path);
    if (endsWith(lowerPath, ".mesh.xml")) {
        convertVORM(path);
    } else if (endsWith(lowerPath, ".scene")) {
        checkScene(path);
    } else if (isImageFile(lowerPath)) {
        convertDDS(path);
    } else {
        LOG_INFO("Unknown Filetype: '" << path << "', skipping");
    }
}

} // namespace

void convertVORM(const std::string& path) {
    const std::string base = withoutExtension(path);
    LOG_INFO("--" << fileName(base) << "--");
    const std::string hash = Util::calcHash(nullptr, path);
    const std::unique_ptr<OgreModel> model(OgreLoader::getInstance()->loadXMLModel(hash, path));
    if (!model) {
        LOG_WARN("Loading model failed!");
        return;
    }
    // The converter's meshes never enter the loader's cache, so they are its own to free.
    const std::unique_ptr<OgreModelMesh> mesh(model->mesh);
    LOG_INFO("Model successfully loaded, now serializing");
    if (!ModelCache::saveModel(*model, base + ".vorm")) {
        LOG_ERROR("Model could not be written to '" << base << ".vorm'");
        return;
    }
    LOG_INFO("Model successfully converted");
}

// Reads the scene and its material file as the game does, without models,
// textures or physics, and builds the cache of every mesh the scene names.
void checkScene(const std::string& path) {
    OgreScene scene(path);
    if (!OgreLoader::getInstance()->loadSceneFiles(scene, false)) {
        LOG_WARN("Scene '" << path << "' holds no scene");
    }
    int entities = 0;
    int bound = 0;
    int unbound = 0;
    std::set<std::string> meshes;
    for (const auto& [name, node] : scene.nodes) {
        if (!node->entity) {
            continue;
        }
        ++entities;
        for (const OgreSceneSubentity* subentity : node->entity->subentities) {
            (subentity->material ? bound : unbound) += 1;
        }
        if (!node->entity->meshFile.empty()) {
            meshes.insert(OgreLoader::meshPath(path, node->entity->meshFile));
        }
    }
    int missing = 0;
    std::error_code error;
    for (const std::string& mesh : meshes) {
        if (std::filesystem::exists(mesh + ".xml", error)) {
            convertVORM(mesh + ".xml");
        } else if (!std::filesystem::exists(mesh + ".vorm", error)) {
            LOG_WARN("Mesh '" << mesh << "' is missing");
            ++missing;
        }
    }
    LOG_INFO("Scene '" << path << "': " << scene.nodes.size() << " nodes, " << entities << " entities, "
                       << scene.materials.size() << " materials, " << bound << " subentities bound, "
                       << unbound << " unbound, " << missing << " meshes missing");
}

void convertDDS(const std::string& path) {
    ilInit();
    iluInit();
    ilutRenderer(ILUT_OPENGL);
    ilutEnable(ILUT_GL_USE_S3TC);
    ilSetInteger(IL_KEEP_DXTC_DATA, IL_TRUE);
    logImageLibraryErrors();

    const std::string base = withoutExtension(path);
    const BoundImage image;
    if (!ilLoadImage(path.c_str())) {
        LOG_ERROR("File '" << path << "' could not be loaded!");
        return;
    }
    const MessageBoxResult mipmaps = Util::showMessageBox("Create Mipmaps?", "Mipmaps",
                                                          MessageBoxIcon::Question, MessageBoxButtons::YesNo);
    if (mipmaps == MessageBoxResult::Yes) {
        if (!iluBuildMipmaps()) {
            LOG_ERROR("Mipmaps for file '" << path << "' could not be created!");
            return;
        }
    } else if (mipmaps != MessageBoxResult::No) {
        LOG_INFO("Converting file '" << path << "' aborted.");
        return;
    }
    ilSetInteger(IL_DXTC_FORMAT, askCompression(path));
    if (!saveDds(base + ".dds")) {
        LOG_ERROR("File '" << path << "' could not be converted!");
        return;
    }
    LOG_INFO("File '" << path << "' successfully converted");
}

void converter(int argc, char** argv) {
    LOG_INFO("Entering Converter Mode");
    for (int i = 1; i < argc; ++i) {
        convertFile(argv[i]);
    }
    LOG_INFO("All files converted. Press enter to exit");
    std::getchar();
}
