#include "game/ReplayLibrary.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <map>
#include <set>

#include "core/Log.h"
#include "core/PlayerFiles.h"
#include "core/SHA1.h"

VORN_FILE_LOGGER("ReplayLibrary")

namespace fs = std::filesystem;

namespace ReplayLibrary {

namespace {

bool isReplay(const fs::directory_entry& file) {
    return file.is_regular_file() && file.path().extension() == ReplayFormat::kExtension;
}

// The files of a level that shape its play: not its textures, route or model caches.
bool shapesPlay(const fs::path& file) {
    const std::string extension = file.extension().string();
    return extension == ".scene" || extension == ".material" || extension == ".ini" || extension == ".xml";
}

void hashFile(SHA1& sha, const fs::path& file, const std::string& name) {
    sha.input(reinterpret_cast<const std::uint8_t*>(name.data()), name.size() + 1);
    const std::optional<std::string> bytes = PlayerFiles::read(file);
    const std::string content = bytes.value_or("");
    sha.input(reinterpret_cast<const std::uint8_t*>(content.data()), content.size());
}

std::string levelStem(const std::string& levelFile) {
    std::string stem = fs::path(levelFile).stem().string();
    std::replace_if(
        stem.begin(), stem.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return stem.empty() ? "level" : stem;
}

bool newer(const Entry& a, const Entry& b) {
    return a.header.recordedAt != b.header.recordedAt ? a.header.recordedAt > b.header.recordedAt
                                                      : a.path.filename() > b.path.filename();
}

} // namespace

fs::path folder() {
    return PlayerFiles::dataDir() / "replays";
}

fs::path newPath(const fs::path& in, const std::string& levelFile, std::int64_t when) {
    char stamp[32];
    const std::time_t time = static_cast<std::time_t>(when);
    std::tm utc{};
    gmtime_r(&time, &utc);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
    const std::string base = levelStem(levelFile) + "-" + stamp;
    std::error_code error;
    for (int number = 0;; ++number) {
        const std::string suffix = number == 0 ? "" : "-" + std::to_string(number);
        const fs::path path = in / (base + suffix + ReplayFormat::kExtension);
        if (!fs::exists(path, error)) {
            return path;
        }
    }
}

std::vector<Entry> list(const fs::path& in) {
    std::vector<Entry> entries;
    std::error_code error;
    for (const fs::directory_entry& file : fs::directory_iterator(in, error)) {
        if (!isReplay(file)) {
            continue;
        }
        const std::optional<std::string> bytes = PlayerFiles::read(file.path());
        const ReplayFormat::Parsed parsed = ReplayFormat::parse(bytes.value_or(""));
        if (parsed.problem == ReplayFormat::Problem::Damaged) {
            PlayerFiles::setAside(file.path(), "the replay is damaged");
            continue;
        }
        Entry entry;
        entry.path = file.path();
        if (parsed.replay) {
            entry.header = parsed.replay->header;
            entry.finished = parsed.replay->finished();
            entry.steps = static_cast<std::uint32_t>(parsed.replay->steps.size());
        }
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), newer);
    return entries;
}

std::optional<Entry> best(const std::vector<Entry>& entries, const std::string& levelFile,
                          const std::string& levelHash) {
    std::optional<Entry> found;
    for (const Entry& entry : entries) {
        if (!entry.finished || entry.header.levelFile != levelFile || entry.header.levelHash != levelHash) {
            continue;
        }
        const bool better =
            !found || entry.steps < found->steps || (entry.steps == found->steps && newer(*found, entry));
        if (better) {
            found = entry;
        }
    }
    return found;
}

void prune(const fs::path& in, int keep, const fs::path& spare) {
    const std::vector<Entry> entries = list(in);
    std::set<fs::path> kept{spare};
    std::set<std::pair<std::string, std::string>> levels;
    for (const Entry& entry : entries) {
        levels.insert({entry.header.levelFile, entry.header.levelHash});
    }
    for (const auto& [levelFile, hash] : levels) {
        if (const std::optional<Entry> top = best(entries, levelFile, hash)) {
            kept.insert(top->path);
        }
    }
    int others = 0;
    for (const Entry& entry : entries) {
        if (kept.contains(entry.path) || others++ < keep) {
            continue;
        }
        std::error_code error;
        if (!fs::remove(entry.path, error)) {
            LOG_WARN("Replay " << entry.path.string() << " could not be removed");
        }
    }
}

std::string levelHash(const std::string& levelFile, const std::vector<std::string>& sharedFiles) {
    const fs::path scene(levelFile);
    std::map<std::string, fs::path> files; // by name, for a fixed order
    std::error_code error;
    for (fs::recursive_directory_iterator it(scene.parent_path(), error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file() && shapesPlay(it->path())) {
            files[fs::relative(it->path(), scene.parent_path()).generic_string()] = it->path();
        }
    }
    if (files.empty()) {
        return "";
    }
    SHA1 sha;
    for (const auto& [name, path] : files) {
        hashFile(sha, path, name);
    }
    for (const std::string& shared : sharedFiles) {
        hashFile(sha, shared, fs::path(shared).filename().string());
    }
    std::uint32_t digest[5];
    if (!sha.result(digest)) {
        return "";
    }
    char hex[41];
    std::snprintf(hex, sizeof hex, "%08X%08X%08X%08X%08X", digest[0], digest[1], digest[2], digest[3],
                  digest[4]);
    return hex;
}

Refusal check(const ReplayFormat::Parsed& parsed, const std::string& gameVersion,
              const std::string& currentHash) {
    if (parsed.problem == ReplayFormat::Problem::OtherVersion) {
        return Refusal::OtherVersion;
    }
    if (!parsed.replay) {
        return Refusal::Damaged;
    }
    if (parsed.replay->header.gameVersion != gameVersion) {
        return Refusal::OtherVersion;
    }
    if (currentHash.empty() || parsed.replay->header.levelHash != currentHash) {
        return Refusal::ChangedLevel;
    }
    return Refusal::None;
}

const char* message(Refusal refusal) {
    switch (refusal) {
    case Refusal::Damaged:
        return kDamaged;
    case Refusal::OtherVersion:
        return kOtherVersion;
    case Refusal::ChangedLevel:
        return kChangedLevel;
    default:
        return "";
    }
}

} // namespace ReplayLibrary
