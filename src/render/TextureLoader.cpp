#include "render/TextureLoader.h"

#include <GL/glu.h>
#include <IL/il.h>
#include <IL/ilu.h>
#include <IL/ilut.h>
#include <algorithm>
#include <bit>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>

#include "core/ConfigManager.h"
#include "core/Log.h"
#include "render/SystemInfo.h"
#include "core/Util.h"
#include "render/GlSavedState.h"
#include "render/ImageFileCheck.h"

VORN_FILE_LOGGER("TextureLoader")

namespace {

constexpr float kMaxAnisotropy = 16.0f;

// A name too long for the system or a folder we may not search is no file: the
// throwing form would end a loading thread.
bool fileExists(const std::string& name) {
    std::error_code error;
    return std::filesystem::exists(name, error);
}

// One DevIL image name, deleted with its scope.
class DevilImage {
public:
    DevilImage() { ilGenImages(1, &id); }
    ~DevilImage() { ilDeleteImages(1, &id); }
    DevilImage(const DevilImage&) = delete;
    DevilImage& operator=(const DevilImage&) = delete;

    ILuint id = 0;
};

// What the 3D series compares between its images.
struct ImageLayout {
    ILint width;
    ILint height;
    ILint bytesPerPixel;
    ILint format;
    ILint type;
    ILint dxtFormat;

    bool operator==(const ImageLayout&) const = default;
};

ImageLayout currentImageLayout() {
    return {
        ilGetInteger(IL_IMAGE_WIDTH),  ilGetInteger(IL_IMAGE_HEIGHT), ilGetInteger(IL_IMAGE_BYTES_PER_PIXEL),
        ilGetInteger(IL_IMAGE_FORMAT), ilGetInteger(IL_IMAGE_TYPE),   ilGetInteger(IL_DXTC_DATA_FORMAT)};
}

void setFilters(GLenum target, const TextureLoader::Texture& tex) {
    glTexParameteri(target, GL_TEXTURE_WRAP_S, tex.wrapS);
    glTexParameteri(target, GL_TEXTURE_WRAP_T, tex.wrapT);
    if (target == GL_TEXTURE_3D) {
        glTexParameteri(target, GL_TEXTURE_WRAP_R, tex.wrapR);
    }
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
}

// A CPU rasteriser takes every anisotropic sample in software: on it the filter costs
// more than half of the frame, so it is left off there.
void setAnisotropy() {
    if (!GLEW_EXT_texture_filter_anisotropic || SystemInfo::getInstance()->softwareRasterizer) {
        return;
    }
    float driverMaximum = kMaxAnisotropy;
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &driverMaximum);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, std::min(kMaxAnisotropy, driverMaximum));
}

void deleteGlTextures(TextureLoader::Texture& tex) {
    if (tex.glId && *tex.glId) {
        glDeleteTextures(1, tex.glId.get());
        *tex.glId = 0;
    }
    if (tex.bumpGlId && *tex.bumpGlId) {
        glDeleteTextures(1, tex.bumpGlId.get());
        *tex.bumpGlId = 0;
    }
}

// The mipmap builder scales an image whose height is no power of two (512 x 96, 64 x 33)
// reading a row past its pixels: it gets a copy whose last row is repeated below it.
std::vector<unsigned char> withSpareRows(const unsigned char* pixels, int width, int height,
                                         int bytesPerPixel) {
    constexpr int kSpareRows = 2;
    const std::size_t row = static_cast<std::size_t>(width) * bytesPerPixel;
    std::vector<unsigned char> copy(pixels, pixels + row * height);
    for (int spare = 0; spare < kSpareRows && height > 0; ++spare) {
        copy.insert(copy.end(), pixels + row * (height - 1), pixels + row * height);
    }
    return copy;
}

void allocateCells(TextureLoader::Texture& tex) {
    if (!tex.glId) {
        tex.glId = std::make_unique<GLuint>(0);
    }
    if (tex.hasBump && !tex.bumpGlId) {
        tex.bumpGlId = std::make_unique<GLuint>(0);
    }
}

} // namespace

TextureLoader::TextureLoader()
    : compressedFormats{{IL_DXT1, GL_COMPRESSED_RGB_S3TC_DXT1_EXT},
                        {IL_DXT1A, GL_COMPRESSED_RGBA_S3TC_DXT1_EXT},
                        {IL_DXT3, GL_COMPRESSED_RGBA_S3TC_DXT3_EXT},
                        {IL_DXT5, GL_COMPRESSED_RGBA_S3TC_DXT5_EXT}} {
    initDevil();
}

TextureLoader::~TextureLoader() {
    const std::lock_guard<std::mutex> lock(mutex);
    for (auto& [name, tex] : textures) {
        deleteGlTextures(*tex);
    }
    textures.clear();
}

// Rows start at the top edge whatever the file format keeps, as the models'
// texture coordinates and the overlay expect; saving may replace older files.
void TextureLoader::initDevil() {
    ilInit();
    iluInit();
    ilutRenderer(ILUT_OPENGL);
    ilutEnable(ILUT_OPENGL_CONV);
    ilSetInteger(IL_KEEP_DXTC_DATA, IL_TRUE);
    ilEnable(IL_ORIGIN_SET);
    ilOriginFunc(IL_ORIGIN_UPPER_LEFT);
    ilEnable(IL_FILE_OVERWRITE);
    logDevilErrors();
}

void TextureLoader::logDevilErrors() {
    for (ILenum error = ilGetError(); error != IL_NO_ERROR; error = ilGetError()) {
        LOG_ERROR("IL_ERROR: " << iluErrorString(error));
    }
}

std::string TextureLoader::normalMapName(const std::string& name) {
    const std::size_t slash = name.find_last_of("/\\");
    const std::size_t fileStart = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot < fileStart) {
        dot = name.size();
    }
    return name.substr(0, fileStart) + "bump/normalmap/" + name.substr(fileStart, dot - fileStart) + "_NRM" +
           name.substr(dot);
}

// A new registration of a name that could not be loaded gives it one more try.
void TextureLoader::addTexture(const std::string& name, int wrap) {
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (textures.count(name)) {
            return;
        }
        missing.erase(name);
    }
    auto tex = std::make_unique<Texture>();
    tex->name = name;
    tex->wrapS = tex->wrapT = tex->wrapR = wrap;
    if (ConfigManager::getInstance()->getMainConfig()->getBool("GameSettings:bumpmaps", true)) {
        const std::string bumpName = normalMapName(name);
        if (fileExists(bumpName)) {
            tex->bumpName = bumpName;
            tex->hasBump = true;
        }
    }
    const std::lock_guard<std::mutex> lock(mutex);
    textures.emplace(name, std::move(tex));
}

// A partial call stops after the first pending entry it loads, except that the
// very first entry of the cache does not count.
void TextureLoader::uploadTextures(bool all) {
    const std::lock_guard<std::mutex> lock(mutex);
    for (auto entry = textures.begin(); entry != textures.end();) {
        Texture& tex = *entry->second;
        if (tex.uploaded) {
            ++entry;
            continue;
        }
        const bool firstEntry = entry == textures.begin();
        allocateCells(tex);
        if (loadTexture(entry->first, tex)) {
            tex.uploaded = true;
            ++entry;
        } else {
            deleteGlTextures(tex);
            missing.insert(entry->first);
            entry = textures.erase(entry);
        }
        if (!all && !firstEntry) {
            break;
        }
    }
}

int TextureLoader::countPending() {
    const std::lock_guard<std::mutex> lock(mutex);
    return static_cast<int>(std::count_if(textures.begin(), textures.end(),
                                          [](const auto& entry) { return !entry.second->uploaded; }));
}

// Menus, the HUD and the fire ask every frame: a texture that cannot be loaded is
// looked for once and then answered with null quietly.
TextureLoader::Texture* TextureLoader::getTexture(const std::string& name) {
    {
        std::unique_lock<std::mutex> lock(mutex);
        if (missing.contains(name)) {
            return nullptr;
        }
        const auto found = textures.find(name);
        if (found != textures.end()) {
            Texture& tex = *found->second;
            if (tex.glId) {
                return &tex;
            }
            lock.unlock();
            LOG_WARN("called getTexture with filename in cache but not uploaded yet, textures should be "
                     "added with "
                     "addTexture and uploaded with uploadTextures");
            allocateCells(tex);
            if (loadTexture(name, tex)) {
                return &tex;
            }
            deleteGlTextures(tex);
            lock.lock();
            textures.erase(name);
            missing.insert(name);
            return nullptr;
        }
    }
    LOG_WARN(
        "called getTexture with filename not in cache, textures should be added with addTexture and uploaded "
        "with uploadTextures");
    auto tex = std::make_unique<Texture>();
    tex->name = name;
    tex->wrapS = tex->wrapT = tex->wrapR = GL_REPEAT;
    allocateCells(*tex);
    const bool loaded = loadTexture(name, *tex);
    const std::lock_guard<std::mutex> lock(mutex);
    if (!loaded) {
        deleteGlTextures(*tex);
        missing.insert(name);
        return nullptr;
    }
    auto& stored = textures[name];
    if (stored) {
        deleteGlTextures(*stored);
    }
    stored = std::move(tex);
    return stored.get();
}

std::vector<std::string> TextureLoader::seriesFiles(const std::string& pattern) {
    std::vector<std::string> files;
    for (int number = 0;; ++number) {
        std::string file = pattern;
        for (std::size_t star = file.find('*'); star != std::string::npos; star = file.find('*', star)) {
            const std::string digits = std::to_string(number);
            file.replace(star, 1, digits);
            star += digits.size();
        }
        if (!fileExists(file)) {
            return files;
        }
        files.push_back(file);
    }
}

bool TextureLoader::loadTexture(const std::string& name, Texture& tex) {
    bool result;
    if (name.find('*') == std::string::npos) {
        result = loadTexture2D(name, tex, nullptr);
    } else {
        std::vector<std::string> files = seriesFiles(name);
        if (!std::has_single_bit(files.size()) && !files.empty()) {
            files.resize(std::bit_floor(files.size()));
            LOG_ERROR("Number of Files for 3D texture '" << name << "' is not a power of two, only the first "
                                                         << files.size() << " files will be loaded");
        }
        result = !files.empty() && loadTexture3D(files, tex, nullptr);
    }
    if (result && tex.hasBump) {
        loadTexture2D(tex.bumpName, tex, tex.bumpGlId.get());
    }
    return result;
}

bool TextureLoader::decodeImage(const std::string& name, const void* data, std::size_t size) {
    const ILenum type = ilTypeFromExt(name.c_str());
    if (size > std::numeric_limits<ILuint>::max() ||
        !ImageFileCheck::acceptable(type, static_cast<const unsigned char*>(data), size)) {
        return false;
    }
    return ilLoadL(type, data, static_cast<ILuint>(size)) == IL_TRUE;
}

bool TextureLoader::decodeImageFile(const std::string& name) {
    const std::optional<std::string> bytes = Util::readFile(name);
    return bytes && decodeImage(name, bytes->data(), bytes->size());
}

std::vector<TextureLoader::CompressedLevel> TextureLoader::compressedLevels() {
    const ILuint image = static_cast<ILuint>(ilGetInteger(IL_CUR_IMAGE));
    const ILint levels = ilGetInteger(IL_NUM_MIPMAPS);
    const ILenum dxtFormat = static_cast<ILenum>(ilGetInteger(IL_DXTC_DATA_FORMAT));
    std::vector<CompressedLevel> result;
    for (ILint level = 0; level <= levels; ++level) {
        ilBindImage(image);
        ilActiveMipmap(static_cast<ILuint>(level));
        CompressedLevel compressed{ilGetInteger(IL_IMAGE_WIDTH), ilGetInteger(IL_IMAGE_HEIGHT), {}};
        compressed.blocks.resize(ilGetDXTCData(nullptr, 0, dxtFormat));
        if (compressed.blocks.empty() ||
            ilGetDXTCData(compressed.blocks.data(), static_cast<ILuint>(compressed.blocks.size()),
                          dxtFormat) == 0) {
            result.clear();
            break;
        }
        result.push_back(std::move(compressed));
    }
    ilBindImage(image);
    return result;
}

// OpenGL takes the pixels as bytes in a colour format.
const unsigned char* TextureLoader::uploadablePixels() {
    const ILint format = ilGetInteger(IL_IMAGE_FORMAT);
    if (format == IL_COLOUR_INDEX) {
        ilConvertImage(IL_RGBA, IL_UNSIGNED_BYTE);
    } else if (ilGetInteger(IL_IMAGE_TYPE) != IL_UNSIGNED_BYTE) {
        ilConvertImage(format, IL_UNSIGNED_BYTE);
    }
    return ilGetData();
}

bool TextureLoader::loadTexture2D(const std::string& name, Texture& tex, GLuint* id) {
    // An upload binds its texture, packs its rows tightly and may switch 3D texturing.
    const GlSavedState saved(GlSavedState::Textures | GlSavedState::UnpackAlignment, {GL_TEXTURE_3D});
    logDevilErrors();
    const DevilImage image;
    ilBindImage(image.id);
    if (!decodeImageFile(name)) {
        LOG_ERROR("Texture '" << name << "' could not be loaded!");
        return false;
    }
    const ILint dxtFormat = ilGetInteger(IL_DXTC_DATA_FORMAT);
    // The size is the texture's own; its normal map may be of another size.
    if (!id) {
        tex.width = ilGetInteger(IL_IMAGE_WIDTH);
        tex.height = ilGetInteger(IL_IMAGE_HEIGHT);
        tex.depth = 1;
    }

    GLuint* cell = id ? id : tex.glId.get();
    glGenTextures(1, cell);
    glBindTexture(GL_TEXTURE_2D, *cell);
    setFilters(GL_TEXTURE_2D, tex);
    setAnisotropy();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    // A CPU rasteriser would decode compressed texels at every sample; it gets them decoded once.
    const SystemInfo* system = SystemInfo::getInstance();
    const auto compressed = compressedFormats.find(dxtFormat);
    if (compressed != compressedFormats.end() && system->textureCompressionS3TC &&
        !system->softwareRasterizer) {
        return uploadCompressedLevels(name, compressed->second);
    }
    const unsigned char* converted = uploadablePixels();
    const int width = ilGetInteger(IL_IMAGE_WIDTH);
    const int height = ilGetInteger(IL_IMAGE_HEIGHT);
    const int bytesPerPixel = ilGetInteger(IL_IMAGE_BYTES_PER_PIXEL);
    const std::vector<unsigned char> pixels = withSpareRows(converted, width, height, bytesPerPixel);
    gluBuild2DMipmaps(GL_TEXTURE_2D, bytesPerPixel, width, height, ilGetInteger(IL_IMAGE_FORMAT),
                      GL_UNSIGNED_BYTE, pixels.data());
    return true;
}

bool TextureLoader::uploadCompressedLevels(const std::string& name, GLenum internalFormat) {
    const std::vector<CompressedLevel> levels = compressedLevels();
    if (levels.empty()) {
        LOG_ERROR("Compressed Texture '" << name << "' could not be loaded!");
        return false;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels.size()) - 1);
    for (std::size_t level = 0; level < levels.size(); ++level) {
        const CompressedLevel& compressed = levels[level];
        glCompressedTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), internalFormat, compressed.width,
                               compressed.height, 0, static_cast<GLsizei>(compressed.blocks.size()),
                               compressed.blocks.data());
    }
    logDevilErrors();
    return true;
}

bool TextureLoader::loadTexture3D(const std::vector<std::string>& files, Texture& tex, GLuint* id) {
    // An upload binds its texture, packs its rows tightly and may switch 3D texturing.
    const GlSavedState saved(GlSavedState::Textures | GlSavedState::UnpackAlignment, {GL_TEXTURE_3D});
    std::vector<std::unique_ptr<DevilImage>> images;
    for (const std::string& file : files) {
        images.push_back(std::make_unique<DevilImage>());
        ilBindImage(images.back()->id);
        if (!decodeImageFile(file)) {
            LOG_ERROR("Texture '" << file << "' could not be loaded!");
            return false;
        }
    }
    ilBindImage(images.front()->id);
    const ImageLayout layout = currentImageLayout();
    const bool hasMipmaps = ilGetInteger(IL_NUM_MIPMAPS) > 0;
    for (const auto& image : images) {
        ilBindImage(image->id);
        if (!(currentImageLayout() == layout)) {
            LOG_ERROR("Could not load 3D Texture - All Images must have exactly the same specifications");
            return false;
        }
    }
    tex.width = layout.width;
    tex.height = layout.height;
    tex.depth = static_cast<int>(files.size());

    glEnable(GL_TEXTURE_3D);
    GLuint* cell = id ? id : tex.glId.get();
    glGenTextures(1, cell);
    glBindTexture(GL_TEXTURE_3D, *cell);
    setFilters(GL_TEXTURE_3D, tex);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    const std::size_t sliceSize =
        static_cast<std::size_t>(layout.width) * layout.height * layout.bytesPerPixel;
    std::vector<ILubyte> buffer(sliceSize * images.size());
    for (std::size_t slice = 0; slice < images.size(); ++slice) {
        ilBindImage(images[slice]->id);
        std::memcpy(buffer.data() + slice * sliceSize, ilGetData(), sliceSize);
    }
    if (!compressedFormats.count(layout.dxtFormat) || hasMipmaps) {
        gluBuild3DMipmaps(GL_TEXTURE_3D, layout.bytesPerPixel, layout.width, layout.height, tex.depth,
                          layout.format, layout.type, buffer.data());
    } else {
        glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexImage3D(GL_TEXTURE_3D, 0, layout.bytesPerPixel, layout.width, layout.height, tex.depth, 0,
                     layout.format, layout.type, buffer.data());
    }
    glDisable(GL_TEXTURE_3D);
    return true;
}
