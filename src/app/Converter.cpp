#include "app/Converter.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/Log.h"

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

void convertFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return;
    }
    const std::string lowerPath = lowerCase(path);
    if (endsWith(lowerPath, ".mesh.xml") || isImageFile(lowerPath)) {
        LOG_WARN("Converter for '" << path << "' is not available in this build, skipping");
        return;
    }
    LOG_INFO("Unknown Filetype: '" << path << "', skipping");
}

} // namespace

void converter(int argc, char** argv) {
    LOG_INFO("Entering Converter Mode");
    for (int i = 1; i < argc; ++i) {
        convertFile(argv[i]);
    }
    LOG_INFO("All files converted. Press enter to exit");
    std::getchar();
}
