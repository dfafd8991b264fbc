#include "game/ReplayRecorder.h"

#include "core/Log.h"

VORN_FILE_LOGGER("ReplayRecorder")

std::unique_ptr<ReplayRecorder> ReplayRecorder::create(const std::filesystem::path& path,
                                                       const ReplayHeader& header) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    // "x": a file of another run is never written over.
    std::unique_ptr<std::FILE, Closer> stream(std::fopen(path.c_str(), "wbx"));
    if (!stream) {
        LOG_ERROR("Replay file " << path.string() << " cannot be made; the run is not recorded");
        return nullptr;
    }
    std::unique_ptr<ReplayRecorder> recorder(new ReplayRecorder(path, std::move(stream)));
    recorder->pending = ReplayFormat::header(header);
    recorder->flush();
    return recorder;
}

ReplayRecorder::ReplayRecorder(const std::filesystem::path& path, std::unique_ptr<std::FILE, Closer> file)
    : file(path), stream(std::move(file)) {
    pending.reserve(4096);
}

ReplayRecorder::~ReplayRecorder() {
    flush();
}

void ReplayRecorder::step(const ReplayStep& step, const ReplayPoint& position, const ReplayPoint& velocity) {
    if (done) {
        return;
    }
    ReplayFormat::appendStep(pending, step);
    ++stepCount;
    if (stepCount % ReplayFormat::kPathEvery == 0) {
        ReplayFormat::appendPath(pending, position);
    }
    if (stepCount % ReplayFormat::kChecksEvery == 0) {
        ReplayFormat::appendCheck(pending, position, velocity);
        flush();
    }
}

void ReplayRecorder::respawn(ReplayRespawn::Kind kind) {
    if (done) {
        return;
    }
    ReplayFormat::appendRespawn(pending, kind);
    flush();
}

void ReplayRecorder::finish() {
    if (done) {
        return;
    }
    ReplayFormat::appendFinish(pending, stepCount);
    done = true;
    flush();
}

// Whole records only reach the file, so a cut falls between two of them.
void ReplayRecorder::flush() {
    if (pending.empty() || !stream) {
        return;
    }
    if (std::fwrite(pending.data(), 1, pending.size(), stream.get()) != pending.size() ||
        std::fflush(stream.get()) != 0) {
        LOG_ERROR("Replay file " << file.string() << " could not be written; recording stops");
        stream.reset();
    }
    pending.clear();
}
