#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct HeldControls;

// What makes a recorded run reproducible: the game that played it, the level with a
// hash of its files, and the seed its random numbers started from.
struct ReplayHeader {
    std::string gameVersion;
    std::string levelFile; // as the level list names it
    std::string levelName;
    std::string levelHash;
    std::uint32_t seed = 0;
    std::int64_t recordedAt = 0; // seconds since 1970, UTC
};

struct ReplayStep {
    std::uint16_t controls = 0; // packControls
    float heading = 0.0f;
    // The gamepad's left stick, -1 to 1.
    float stickForward = 0.0f;
    float stickRight = 0.0f;
};

struct ReplayPoint {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// The ball after `step` steps.
struct ReplayBall {
    std::uint32_t step = 0;
    ReplayPoint position;
    ReplayPoint velocity;
};

// A respawn between two steps, `step` steps into the run.
struct ReplayRespawn {
    enum Kind : std::uint8_t { FromGameOver = 0, SnapshotKey = 1 };
    std::uint32_t step = 0;
    Kind kind = FromGameOver;
};

// One recorded run: the controls of every fixed step, the respawns between steps,
// the ball once a second (checks) and every few steps (the ghost's path), and the
// finish when the run reached it.
struct Replay {
    ReplayHeader header;
    std::vector<ReplayStep> steps;
    std::vector<ReplayRespawn> respawns;
    std::vector<ReplayBall> checks;
    std::vector<ReplayBall> path; // positions only
    std::optional<std::uint32_t> finishStep;

    bool finished() const { return finishStep.has_value(); }
};

// The file: the header, then records, each a tag byte and its fields, little-endian.
// A file cut inside its last record reads as the run up to the cut.
namespace ReplayFormat {

// Version 2 adds the steps with the gamepad's stick; version 1 files read as before.
inline constexpr std::uint16_t kVersion = 2;
inline constexpr int kChecksEvery = 60;
inline constexpr int kPathEvery = 4;
inline constexpr const char* kExtension = ".vreplay";

enum class Problem { None, Damaged, OtherVersion };

struct Parsed {
    std::optional<Replay> replay;
    Problem problem = Problem::None;
    std::uint16_t version = 0;
};

std::uint16_t packControls(const HeldControls& controls);
// The step that drives the ball with `controls`, and back.
ReplayStep stepOf(const HeldControls& controls, float heading);
void unpackStep(const ReplayStep& step, HeldControls& controls);
// False for bits no control has.
bool unpackControls(std::uint16_t bits, HeldControls& controls);

std::string header(const ReplayHeader& header);
void appendStep(std::string& out, const ReplayStep& step);
void appendRespawn(std::string& out, ReplayRespawn::Kind kind);
void appendCheck(std::string& out, const ReplayPoint& position, const ReplayPoint& velocity);
void appendPath(std::string& out, const ReplayPoint& position);
void appendFinish(std::string& out, std::uint32_t steps);

Parsed parse(std::string_view bytes);

} // namespace ReplayFormat
