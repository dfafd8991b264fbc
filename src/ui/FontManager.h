#pragma once

#include "core/Singleton.h"

#include <map>
#include <memory>
#include <string>

#include "ui/Font.h"

// Loads fonts by name from "../textures/fonts/NAME/NAME" and keeps them.
class FontManager : public Singleton<FontManager> {
    friend class Singleton<FontManager>;

public:
    // The font of that name, loaded once; the default font when its files are missing.
    Font* getFont(const std::string& name);
    // Null when even the default font has no files.
    Font* getDefaultFont() const { return defaultFont; }

    static constexpr const char* kDefaultFontName = "Calibri";
    static constexpr const char* kFontFolder = "../textures/fonts/";

private:
    FontManager();

    std::map<std::string, std::unique_ptr<Font>> fonts;
    Font* defaultFont = nullptr;
};
