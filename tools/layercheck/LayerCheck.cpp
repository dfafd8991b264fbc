#include "LayerCheck.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr const char* kLayerFile = "layers";

bool isSource(const fs::path& path) {
    const std::string extension = path.extension().string();
    return extension == ".h" || extension == ".cpp";
}

std::string layerName(const std::vector<std::string>& layer) {
    std::string name;
    for (const std::string& folder : layer) {
        name += (name.empty() ? "" : " ") + folder;
    }
    return name;
}

} // namespace

LayerCheck::LayerCheck(fs::path sourceRoot) : root(std::move(sourceRoot)) {
    std::ifstream file(root / kLayerFile);
    if (!file) {
        layerFileFaults.push_back(relative(root / kLayerFile) + ": cannot be read");
        return;
    }
    for (std::string line; std::getline(file, line);) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::vector<std::string> layer;
        for (std::string folder; words >> folder;) {
            layer.push_back(folder);
        }
        if (!layer.empty()) {
            layers.push_back(layer);
        }
    }
}

std::vector<std::string> LayerCheck::check() const {
    std::vector<std::string> faults = layerFileFaults;
    if (!faults.empty()) {
        return faults;
    }
    const std::vector<std::string> folderFaults = checkFolders();
    faults.insert(faults.end(), folderFaults.begin(), folderFaults.end());
    // A folder on two lines leaves its place open: its includes cannot be judged.
    if (std::any_of(faults.begin(), faults.end(),
                    [](const std::string& fault) { return fault.ends_with("more than once"); })) {
        return faults;
    }
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file() && isSource(entry.path()) && entry.path().parent_path() != root) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        checkFile(file, fs::relative(file, root).begin()->string(), faults);
    }
    return faults;
}

// Every folder of the tree stands on exactly one line.
std::vector<std::string> LayerCheck::checkFolders() const {
    std::vector<std::string> faults;
    std::map<std::string, int> named;
    for (const auto& layer : layers) {
        for (const std::string& folder : layer) {
            if (++named[folder] == 2) {
                faults.push_back(relative(root / kLayerFile) + ": names '" + folder + "' more than once");
            }
        }
    }
    std::set<std::string> folders;
    for (const auto& entry : fs::directory_iterator(root)) {
        if (entry.is_directory()) {
            folders.insert(entry.path().filename().string());
        }
    }
    for (const std::string& folder : folders) {
        if (!named.contains(folder)) {
            faults.push_back(relative(root / folder) + ": the folder has no place in " +
                             relative(root / kLayerFile));
        }
    }
    return faults;
}

void LayerCheck::checkFile(const fs::path& file, const std::string& folder, std::vector<std::string>& faults) const {
    std::map<std::string, int> layerOf;
    for (std::size_t i = 0; i < layers.size(); ++i) {
        for (const std::string& name : layers[i]) {
            layerOf[name] = static_cast<int>(i);
        }
    }
    const auto own = layerOf.find(folder);
    if (own == layerOf.end()) {
        return;
    }
    static const std::regex include(R"(^\s*#\s*include\s*"([^"/]+)/[^"]*")");
    std::ifstream in(file);
    int lineNumber = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNumber;
        std::smatch match;
        if (!std::regex_search(line, match, include)) {
            continue;
        }
        const std::string target = match[1];
        const auto found = layerOf.find(target);
        if (target == folder || found == layerOf.end() || found->second < own->second) {
            continue;
        }
        const std::string where = relative(file) + ":" + std::to_string(lineNumber) + ": ";
        if (found->second == own->second) {
            faults.push_back(where + folder + "/ includes its sibling " + target + "/ (" + match[0].str() + ")");
        } else {
            faults.push_back(where + folder + "/ includes " + target + "/, a higher layer (" + match[0].str() +
                             "); the layers are: " + layerName(layers[static_cast<std::size_t>(own->second)]) +
                             " below " + layerName(layers[static_cast<std::size_t>(found->second)]));
        }
    }
}

std::string LayerCheck::relative(const fs::path& path) const {
    return (root.filename() / fs::relative(path, root)).string();
}
