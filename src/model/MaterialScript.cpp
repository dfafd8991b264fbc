#include "model/MaterialScript.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/TextEncoding.h"

namespace {

// Spaces, tabs and the carriage returns of CRLF files all separate tokens.
constexpr const char* kBlanks = " \t\r\n\v\f";

float number(const std::string& token) {
    return static_cast<float>(std::atof(token.c_str()));
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

} // namespace

std::string MaterialScript::pathFor(const std::string& scenePath) {
    return scenePath.substr(0, scenePath.find_last_of('.')) + ".material";
}

bool MaterialScript::parseFile(const std::string& path, const std::string& sceneDirectory,
                               Materials& materials, const TextureFound& onTexture) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return false;
    }
    parse(TextEncoding::toUtf8(readBytes(path)), sceneDirectory, materials, onTexture);
    return true;
}

// Blocks are counted by lines that hold a lone brace; the colours sit three
// levels deep (material, technique, pass), the texture four (texture_unit).
void MaterialScript::parse(const std::string& text, const std::string& sceneDirectory, Materials& materials,
                           const TextureFound& onTexture) {
    std::istringstream lines(text);
    std::string line;
    int depth = 0;
    OgreSceneMaterial* current = nullptr;
    while (std::getline(lines, line)) {
        const Tokens tokens = tokenize(line);
        if (tokens.empty()) {
            continue;
        }
        if (tokens.size() == 1 && (tokens[0] == "{" || tokens[0] == "}")) {
            depth = tokens[0] == "{" ? depth + 1 : std::max(0, depth - 1);
            continue;
        }
        if (depth == 0) {
            // Any other header, such as one inheriting from a parent, starts a block that is skipped.
            current = nullptr;
            if (tokens.size() == 2 && tokens[0] == "material") {
                current = new OgreSceneMaterial();
                delete materials[tokens[1]];
                materials[tokens[1]] = current;
            }
        } else if (depth >= 3 && current) {
            readProperty(tokens, depth, *current, sceneDirectory, onTexture);
        }
    }
}

MaterialScript::Tokens MaterialScript::tokenize(const std::string& line) {
    Tokens tokens;
    std::size_t start = line.find_first_not_of(kBlanks);
    while (start != std::string::npos) {
        const std::size_t end = line.find_first_of(kBlanks, start);
        tokens.push_back(line.substr(start, end - start));
        start = end == std::string::npos ? end : line.find_first_not_of(kBlanks, end);
    }
    return tokens;
}

void MaterialScript::readProperty(const Tokens& tokens, int depth, OgreSceneMaterial& material,
                                  const std::string& sceneDirectory, const TextureFound& onTexture) {
    const std::string& keyword = tokens[0];
    if (keyword == "ambient") {
        readColour(tokens, material.ambient);
    } else if (keyword == "diffuse") {
        readColour(tokens, material.diffuse);
    } else if (keyword == "emissive") {
        readColour(tokens, material.emissive);
    } else if (keyword == "specular") {
        readSpecular(tokens, material);
    } else if (keyword == "texture" && depth == 4 && tokens.size() >= 2) {
        std::string name = sceneDirectory + "textures/" + tokens[1];
        for (std::size_t i = 2; i < tokens.size(); ++i) {
            name += " " + tokens[i];
        }
        material.hasTexture = true;
        material.texture = name;
        if (onTexture) {
            onTexture(name);
        }
    }
}

// r g b and an optional alpha; a line with fewer than three numbers is ignored.
void MaterialScript::readColour(const Tokens& tokens, OgreSceneMaterial::Colour& colour) {
    if (tokens.size() < 4) {
        return;
    }
    colour = {true, number(tokens[1]), number(tokens[2]), number(tokens[3]),
              tokens.size() == 4 ? 1.0f : number(tokens[4])};
}

// r g b, an optional alpha, then the shininess.
void MaterialScript::readSpecular(const Tokens& tokens, OgreSceneMaterial& material) {
    if (tokens.size() < 5) {
        return;
    }
    const bool withAlpha = tokens.size() > 5;
    material.specular = {true, number(tokens[1]), number(tokens[2]), number(tokens[3]),
                         withAlpha ? number(tokens[4]) : 1.0f};
    material.shininess = number(tokens[withAlpha ? 5 : 4]);
}
