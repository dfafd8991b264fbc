// assetgen: writes every generated file of the game's runtime tree. Deterministic: the same
// program writes the same bytes on every run.
//
//   assetgen GAME_DIR [PART...]
//
// PART is one of surfaces, sky, fire, hud, menus, help, font, sounds, level, icons; none means
// all. The desktop icons go to GAME_DIR/icons/, for the installation rather than the game.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "InterfaceGenerator.h"
#include "LevelGenerator.h"
#include "SoundGenerator.h"
#include "TextureGenerator.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s GAME_DIR [PART...]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path gameDir = argv[1];
    const std::set<std::string> wanted(argv + 2, argv + argc);
    const auto levelDir = [&](int number) { return gameDir / "levels" / ("level" + std::to_string(number)); };
    const TextureGenerator textures(gameDir);
    const InterfaceGenerator interface(gameDir);
    const SoundGenerator sounds(gameDir);
    const std::vector<std::pair<std::string, std::function<void()>>> parts = {
        {"surfaces",
         [&] {
             // Every level carries the same surfaces, written once and copied.
             textures.writeSurfaces(levelDir(1) / "textures");
             for (int number = 2; number <= LevelGenerator::kLevelCount; ++number) {
                 std::filesystem::create_directories(levelDir(number));
                 std::filesystem::copy(levelDir(1) / "textures", levelDir(number) / "textures",
                                       std::filesystem::copy_options::recursive |
                                           std::filesystem::copy_options::overwrite_existing);
             }
         }},
        {"sky", [&] { textures.writeSkyBox(); }},
        {"fire", [&] { textures.writeFireSeries(); }},
        {"hud", [&] { textures.writeHudBars(); }},
        {"icons", [&] { textures.writeIcons(); }},
        {"menus", [&] { interface.writeMenuImages(); }},
        {"help", [&] { interface.writeHelpImage(); }},
        {"font", [&] { interface.writeFont(); }},
        {"sounds",
         [&] {
             sounds.writeMenuSounds();
             sounds.writeGameSounds();
             sounds.writeCollisionSounds();
             sounds.writeLoops();
         }},
        {"level",
         [&] {
             for (int number = 1; number <= LevelGenerator::kLevelCount; ++number) {
                 LevelGenerator level(levelDir(number));
                 level.buildLevel(number);
                 level.write();
             }
         }},
    };
    try {
        for (const auto& [name, write] : parts) {
            if (wanted.empty() || wanted.contains(name)) {
                write();
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "assetgen: %s\n", error.what());
        return 1;
    }
    return 0;
}
