#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "game/Replay.h"

// Records one run into its file as it goes: the bytes reach the file once a second,
// at every respawn and checkpoint and at the finish, so a run cut short by a crash or a kill
// stays playable up to the last of them.
class ReplayRecorder {
public:
    // A new file (never one that exists) with the header; null when it cannot be made.
    static std::unique_ptr<ReplayRecorder> create(const std::filesystem::path& path,
                                                  const ReplayHeader& header);
    ~ReplayRecorder();
    ReplayRecorder(const ReplayRecorder&) = delete;
    ReplayRecorder& operator=(const ReplayRecorder&) = delete;

    // One fixed step with the ball as it stood when its controls were read.
    void step(const ReplayStep& step, const ReplayPoint& position, const ReplayPoint& velocity);
    void respawn(ReplayRespawn::Kind kind);
    // The run reached the finish; nothing more is recorded.
    void finish();
    // What is recorded so far reaches the file now (a checkpoint is worth keeping).
    void flush();

    std::uint32_t steps() const { return stepCount; }
    bool finished() const { return done; }
    const std::filesystem::path& path() const { return file; }

private:
    struct Closer {
        void operator()(std::FILE* stream) const { std::fclose(stream); }
    };

    ReplayRecorder(const std::filesystem::path& path, std::unique_ptr<std::FILE, Closer> stream);

    std::filesystem::path file;
    std::unique_ptr<std::FILE, Closer> stream;
    std::string pending;
    std::uint32_t stepCount = 0;
    bool done = false;
};
