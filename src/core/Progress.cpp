#include "core/Progress.h"

#include <fcntl.h>
#include <sstream>
#include <sys/file.h>
#include <unistd.h>

#include "core/PlayerFiles.h"

namespace fs = std::filesystem;

namespace {

// Holds an exclusive lock on the file beside the progress while it lives, so that a
// read-merge-write of one game does not cross another's. Without it (an unwritable
// folder) the write goes ahead unguarded and fails on its own.
class FileLock {
public:
    explicit FileLock(const fs::path& progress) {
        std::error_code error;
        fs::create_directories(progress.parent_path(), error);
        const std::string lockPath = progress.string() + ".lock";
        descriptor = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (descriptor >= 0) {
            ::flock(descriptor, LOCK_EX);
        }
    }
    ~FileLock() {
        if (descriptor >= 0) {
            ::close(descriptor);
        }
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int descriptor = -1;
};

// "levelN" with N from 1; the level's index, or -1.
int levelIndexOf(const std::string& word) {
    constexpr std::string_view prefix = "level";
    if (word.size() <= prefix.size() || word.compare(0, prefix.size(), prefix) != 0 || word.size() > 9) {
        return -1;
    }
    int number = 0;
    for (std::size_t i = prefix.size(); i < word.size(); ++i) {
        if (word[i] < '0' || word[i] > '9') {
            return -1;
        }
        number = number * 10 + (word[i] - '0');
    }
    return number >= 1 ? number - 1 : -1;
}

void keepFaster(std::map<int, Milliseconds>& times, int level, Milliseconds time) {
    const auto found = times.find(level);
    if (found == times.end() || time < found->second) {
        times[level] = time;
    }
}

} // namespace

Progress::Progress(fs::path file) : file(std::move(file)) {
    load();
}

fs::path Progress::defaultFile() {
    return PlayerFiles::dataDir() / "progress.txt";
}

std::optional<Milliseconds> Progress::bestTime(int level) const {
    const auto found = best.find(level);
    return found == best.end() ? std::nullopt : std::optional<Milliseconds>(found->second);
}

int Progress::firstUnfinished(int levelCount) const {
    for (int level = 0; level < levelCount; ++level) {
        if (!isFinished(level)) {
            return level;
        }
    }
    return levelCount > 0 ? levelCount - 1 : 0;
}

bool Progress::recordFinish(int level, Milliseconds time) {
    if (level < 0 || time < 0) {
        return false;
    }
    const FileLock lock(file);
    // What another game wrote since this one read the file counts too.
    if (const std::optional<std::string> text = PlayerFiles::read(file)) {
        if (const auto written = parse(*text)) {
            for (const auto& [other, otherTime] : *written) {
                keepFaster(best, other, otherTime);
            }
        }
    }
    const std::optional<Milliseconds> before = bestTime(level);
    const bool newBest = !before || time < *before;
    keepFaster(best, level, time);
    PlayerFiles::replace(file, format(best));
    return newBest;
}

std::optional<std::map<int, Milliseconds>> Progress::parse(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    if (!std::getline(lines, line) || line != kHeader) {
        return std::nullopt;
    }
    std::map<int, Milliseconds> times;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string name;
        long long time = -1;
        std::string rest;
        if (!(words >> name >> time) || (words >> rest)) {
            return std::nullopt;
        }
        const int level = levelIndexOf(name);
        if (level < 0 || time < 0 || times.contains(level)) {
            return std::nullopt;
        }
        times[level] = static_cast<Milliseconds>(time);
    }
    return times;
}

std::string Progress::format(const std::map<int, Milliseconds>& times) {
    std::ostringstream text;
    text << kHeader << '\n';
    for (const auto& [level, time] : times) {
        text << "level" << level + 1 << ' ' << time << '\n';
    }
    return text.str();
}

// A file that exists but cannot be read as a whole is as lost as a damaged one.
void Progress::load() {
    std::error_code error;
    if (!fs::exists(file, error)) {
        return;
    }
    const std::optional<std::string> text = PlayerFiles::read(file);
    const std::optional<std::map<int, Milliseconds>> times = text ? parse(*text) : std::nullopt;
    if (!times) {
        PlayerFiles::setAside(file, text ? "is damaged" : "cannot be read");
        return;
    }
    best = *times;
}
