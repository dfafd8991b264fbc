#pragma once

#include <filesystem>
#include <initializer_list>

// A copy of the built game tree in a temporary folder, entered at its bin/ folder
// as the game is, so what the game writes (model caches, the log, the
// configuration's hash file) lands there and never in the build.
class GameTree {
public:
    // The whole tree but its executables, its log and its security folder.
    GameTree();
    // Only the named files and folders: a benchmark copies what it measures.
    explicit GameTree(std::initializer_list<const char*> parts);
    ~GameTree();

    GameTree(const GameTree&) = delete;
    GameTree& operator=(const GameTree&) = delete;

    const std::filesystem::path& root() const { return rootPath; }

private:
    void enter() const;

    std::filesystem::path rootPath;
};
