#include "TempDataRoot.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

TempDataRoot::TempDataRoot() : previousDir(std::filesystem::current_path()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "vorn-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    rootDir = pattern;
    std::filesystem::create_directories(bin());
    std::filesystem::current_path(bin());
    playerFolders.emplace(rootDir / "xdg");
}

TempDataRoot::~TempDataRoot() {
    playerFolders.reset();
    std::filesystem::current_path(previousDir);
    std::error_code error;
    std::filesystem::remove_all(rootDir, error);
}

std::filesystem::path TempDataRoot::write(const std::string& relative, const std::string& content) const {
    const std::filesystem::path path = rootDir / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::string TempDataRoot::read(const std::string& relative) const {
    std::ifstream in(rootDir / relative, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}
