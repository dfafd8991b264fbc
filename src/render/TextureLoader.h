#pragma once

#include "core/Singleton.h"

#include <GL/glew.h>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

// The process-wide texture cache. Any thread may add a texture by name; the main
// thread, which owns the OpenGL context, uploads pending ones and looks them up.
class TextureLoader : public Singleton<TextureLoader> {
    friend class Singleton<TextureLoader>;

public:
    struct Texture {
        std::string name;
        std::string bumpName;
        // Cells that never move, so holders of a Texture can read the ids through them.
        std::unique_ptr<GLuint> glId;
        std::unique_ptr<GLuint> bumpGlId;
        bool hasBump = false;
        bool uploaded = false;
        int wrapS = 0;
        int wrapT = 0;
        int wrapR = 0;
        int width = 0;
        int height = 0;
        int depth = 0;
    };

    TextureLoader();
    ~TextureLoader();
    TextureLoader(const TextureLoader&) = delete;
    TextureLoader& operator=(const TextureLoader&) = delete;

    // The first registration of a name wins, wrap mode included.
    void addTexture(const std::string& name, int wrap);
    // Loads every pending texture, or only a few when `all` is false (once per frame).
    void uploadTextures(bool all);
    // Registered textures still waiting for their upload.
    int countPending();
    // The uploaded texture, or one loaded on the spot; null when it cannot be loaded,
    // and from then on without looking for it again.
    Texture* getTexture(const std::string& name);

    bool loadTexture(const std::string& name, Texture& tex);
    bool loadTexture2D(const std::string& name, Texture& tex, GLuint* id);
    bool loadTexture3D(const std::vector<std::string>& files, Texture& tex, GLuint* id);

    // Where the normal map of `name` would lie: dir/bump/normalmap/base_NRM.ext.
    static std::string normalMapName(const std::string& name);

    // Decoding works on the bound image of the image library and needs no OpenGL.
    struct CompressedLevel {
        int width = 0;
        int height = 0;
        std::vector<unsigned char> blocks;
    };
    // An image file's bytes into the bound image, their type taken from the name's
    // extension. False when they are no image of that type or one the check refuses.
    static bool decodeImage(const std::string& name, const void* data, std::size_t size);
    // The file read and decoded into the bound image.
    static bool decodeImageFile(const std::string& name);
    // The DXT blocks of every mipmap level of the bound image; empty when a level has none.
    static std::vector<CompressedLevel> compressedLevels();
    // The bound image's pixels as bytes in its colour format, palettes and wider channels
    // converted: width * height * bytes per pixel of them.
    static const unsigned char* uploadablePixels();

private:
    void initDevil();
    bool uploadCompressedLevels(const std::string& name, GLenum internalFormat);
    static void logDevilErrors();
    static std::vector<std::string> seriesFiles(const std::string& pattern);

    std::map<std::string, std::unique_ptr<Texture>> textures;
    std::set<std::string> missing; // names that failed to load
    std::map<int, GLenum> compressedFormats;
    std::mutex mutex;
};
