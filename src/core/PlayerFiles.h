#pragma once

#include <filesystem>
#include <optional>
#include <string>

// The player's own files: settings, progress, replays and the like live in the
// XDG folders ($XDG_CONFIG_HOME/vorn, $XDG_DATA_HOME/vorn, $XDG_STATE_HOME/vorn,
// $XDG_CACHE_HOME/vorn, under $HOME by default), never in the game's tree. A file
// is replaced as a whole or not at all, and a damaged one is set aside, not read again.
namespace PlayerFiles {

std::filesystem::path configDir();
std::filesystem::path dataDir();
std::filesystem::path stateDir();
std::filesystem::path cacheDir();

// The whole file, or none when it is missing or cannot be read.
std::optional<std::string> read(const std::filesystem::path& path);
// Writes a temporary file beside `path`, flushes it to the disk and renames it over
// `path`, creating the folders on the way; false (and the old file kept) on any failure.
bool replace(const std::filesystem::path& path, const std::string& content);
// Renames a damaged file to its name with ".bad" (replacing an older one) and warns
// once with `why`, so the game goes on with fresh contents.
void setAside(const std::filesystem::path& path, const std::string& why);

} // namespace PlayerFiles
