#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Checks the includes of a source tree against its layer file: each folder of the
// tree may include only folders of lower layers. The layer file (`layers` in the
// tree) names the folders one layer a line, the lowest first; folders on one line
// are siblings; `#` starts a comment.
class LayerCheck {
public:
    // Reads the layer file of `sourceRoot`; problems with it are reported by check.
    explicit LayerCheck(std::filesystem::path sourceRoot);

    // Every fault, one line each: "path:line: ..." for an include that goes up or
    // sideways, or a line naming a folder the layer file leaves out or names twice.
    // Sorted by path and line; empty when the tree keeps its layers.
    std::vector<std::string> check() const;

private:
    std::vector<std::string> checkFolders() const;
    void checkFile(const std::filesystem::path& file, const std::string& folder,
                   std::vector<std::string>& faults) const;
    std::string relative(const std::filesystem::path& path) const;

    std::filesystem::path root;
    std::vector<std::vector<std::string>> layers;
    std::vector<std::string> layerFileFaults;
};
