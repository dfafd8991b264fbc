#pragma once

#include <filesystem>
#include <map>
#include <optional>

#include "platform/Clock.h"

// The player's progress through the campaign: which levels are finished and the best
// time of each, kept in "progress.txt" of the player's data folder. The file is a
// header line and one "levelN MILLISECONDS" line per finished level, so a player can
// read it and a damaged one is told apart from a short one. Each new finish is merged
// with what the file holds by then, under a lock, so two games running at once both
// keep their times.
class Progress {
public:
    // Reads `file`; a damaged or unreadable one is set aside with one warning and the
    // progress starts fresh.
    explicit Progress(std::filesystem::path file = defaultFile());

    // Levels count from 0, as in the level list.
    bool isFinished(int level) const { return best.contains(level); }
    // Level 0 always; every other once the level before it is finished.
    bool isUnlocked(int level) const { return level == 0 || isFinished(level - 1); }
    std::optional<Milliseconds> bestTime(int level) const;
    // The first level not yet finished; the last one when all of them are.
    int firstUnfinished(int levelCount) const;
    // A finish in `time`: kept when it beats the best (or is the first), then written.
    // True when it is a new best.
    bool recordFinish(int level, Milliseconds time);

    const std::filesystem::path& path() const { return file; }

    static std::filesystem::path defaultFile();
    static constexpr const char* kHeader = "vorn progress 1";

    // The times of a file's text by level; none when the text is damaged.
    static std::optional<std::map<int, Milliseconds>> parse(const std::string& text);
    static std::string format(const std::map<int, Milliseconds>& times);

private:
    void load();

    std::filesystem::path file;
    std::map<int, Milliseconds> best;
};
