#include "ui/Font.h"

#include <GL/glew.h>

#include "core/ConfigManager.h"
#include "render/TextureLoader.h"

Font::Font(const std::string& basePath, const std::string& fontName)
    : textureName(basePath + ".dds"), name(fontName),
      config(ConfigManager::getInstance()->getConfig(basePath + ".ini")),
      size(config->getFloat("common:size", kDefaultSize)) {
    TextureLoader::getInstance()->addTexture(textureName, GL_REPEAT);
}

// Keys carry the signed character value, so characters above 127 are negative.
int Font::charWidth(char c) const {
    const std::string key = "char widths:" + std::to_string(static_cast<int>(static_cast<signed char>(c)));
    return config->getInt(key.c_str(), kDefaultWidth);
}
