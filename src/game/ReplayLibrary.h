#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "game/Replay.h"

// The player's replays in their data folder: one file per run, named after the level
// and the moment it began. The best finished run of each level (its files as they
// were) is always kept; of the others only the newest `keep`.
namespace ReplayLibrary {

struct Entry {
    std::filesystem::path path;
    ReplayHeader header;
    bool finished = false;
    // The finish step of a finished run, else the steps recorded.
    std::uint32_t steps = 0;
};

enum class Refusal { None, Damaged, OtherVersion, ChangedLevel };

inline constexpr const char* kDamaged = "This replay is damaged and cannot be played.";
inline constexpr const char* kOtherVersion = "This replay was recorded with another version of Vorn.";
inline constexpr const char* kChangedLevel = "The level of this replay has changed since it was recorded.";

// $XDG_DATA_HOME/vorn/replays.
std::filesystem::path folder();
// A name no replay in `in` has yet, for a run of the level beginning at `when` (seconds, UTC).
std::filesystem::path newPath(const std::filesystem::path& in, const std::string& levelFile,
                              std::int64_t when);

// Every replay readable in `in`, newest first; damaged ones are set aside.
std::vector<Entry> list(const std::filesystem::path& in);
// The finished run of the level with the fewest steps, recorded on these very files (the
// earlier one of a tie).
std::optional<Entry> best(const std::vector<Entry>& entries, const std::string& levelFile,
                          const std::string& levelHash);
// Deletes what the rule does not keep; `spare` (a run still being recorded) stays.
void prune(const std::filesystem::path& in, int keep, const std::filesystem::path& spare = {});

// SHA-1 over the level's own files (scene, materials, its configuration, meshes) and the
// object and material properties the game reads, in a fixed order.
std::string levelHash(const std::string& levelFile, const std::vector<std::string>& sharedFiles);

// Why a replay cannot be played here: damaged, of another game version, or of a level
// whose files differ (or that is gone: `currentHash` empty).
Refusal check(const ReplayFormat::Parsed& parsed, const std::string& gameVersion,
              const std::string& currentHash);
const char* message(Refusal refusal);

} // namespace ReplayLibrary
