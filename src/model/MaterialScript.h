#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "model/OgreSceneMaterial.h"

// Reads a level's material file: the colours and the colour texture of each
// "material NAME" block. Everything else in the script is skipped.
class MaterialScript {
public:
    using Materials = std::map<std::string, OgreSceneMaterial*>; // owned by the caller
    using TextureFound = std::function<void(const std::string& textureName)>;

    // The material file beside a scene: the scene path up to its last "." and ".material".
    static std::string pathFor(const std::string& scenePath);

    // Adds the materials of `text` to `materials`; a name read again replaces the
    // earlier material. Texture names are the scene directory, "textures/" and the
    // file named; each one found is handed to `onTexture` when it is set.
    static void parse(const std::string& text, const std::string& sceneDirectory, Materials& materials,
                      const TextureFound& onTexture);
    // The same for a file; false when it does not exist.
    static bool parseFile(const std::string& path, const std::string& sceneDirectory, Materials& materials,
                          const TextureFound& onTexture);

private:
    using Tokens = std::vector<std::string>;

    static Tokens tokenize(const std::string& line);
    static void readProperty(const Tokens& tokens, int depth, OgreSceneMaterial& material,
                             const std::string& sceneDirectory, const TextureFound& onTexture);
    static void readColour(const Tokens& tokens, OgreSceneMaterial::Colour& colour);
    static void readSpecular(const Tokens& tokens, OgreSceneMaterial& material);
};
