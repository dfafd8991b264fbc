#include "ui/FontManager.h"

#include <filesystem>
#include <system_error>

#include "core/Log.h"

VORN_FILE_LOGGER("FontManager")

FontManager::FontManager() {
    defaultFont = getFont(kDefaultFontName);
    if (!defaultFont) {
        LOG_ERROR("Default font '" << kDefaultFontName << "' not found, no text will be drawn");
    }
}

Font* FontManager::getFont(const std::string& name) {
    const auto found = fonts.find(name);
    if (found != fonts.end()) {
        return found->second.get();
    }
    const std::string basePath = std::string(kFontFolder) + name + "/" + name;
    std::error_code error;
    if (!std::filesystem::exists(basePath + ".dds", error) ||
        !std::filesystem::exists(basePath + ".ini", error)) {
        return defaultFont;
    }
    auto& font = fonts[name];
    font = std::make_unique<Font>(basePath, name);
    return font.get();
}
