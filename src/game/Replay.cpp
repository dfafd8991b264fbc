#include "game/Replay.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "game/Controls.h"

namespace ReplayFormat {

namespace {

constexpr std::string_view kMagic = "VORNREPLAY";
constexpr char kStepTag = 'S';
constexpr char kStickStepTag = 'T';
constexpr std::uint16_t kOldestVersion = 1;
constexpr char kRespawnTag = 'R';
constexpr char kCheckTag = 'C';
constexpr char kPathTag = 'P';
constexpr char kFinishTag = 'F';
constexpr std::uint16_t kControlBits = (1u << 10) - 1;

// The controls in a fixed order of bits; a new control goes at the end.
bool HeldControls::*const kControlOrder[] = {&HeldControls::resetPosition, &HeldControls::toggleParticles,
                                             &HeldControls::refill,        &HeldControls::forward,
                                             &HeldControls::left,          &HeldControls::back,
                                             &HeldControls::right,         &HeldControls::brake,
                                             &HeldControls::jump,          &HeldControls::boost};

void putInt(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

void putFloat(std::string& out, float value) {
    putInt(out, std::bit_cast<std::uint32_t>(value), 4);
}

void putText(std::string& out, const std::string& text) {
    const std::size_t length = std::min<std::size_t>(text.size(), 0xFFFF);
    putInt(out, length, 2);
    out.append(text, 0, length);
}

void putPoint(std::string& out, const ReplayPoint& point) {
    putFloat(out, point.x);
    putFloat(out, point.y);
    putFloat(out, point.z);
}

// Reads from the front of the bytes; a read past the end fails and leaves the rest alone.
class Reader {
public:
    explicit Reader(std::string_view bytes) : rest(bytes) {}

    bool empty() const { return rest.empty(); }

    bool integer(std::uint64_t& value, int bytes) {
        if (rest.size() < static_cast<std::size_t>(bytes)) {
            return false;
        }
        value = 0;
        for (int i = 0; i < bytes; ++i) {
            value |= static_cast<std::uint64_t>(static_cast<unsigned char>(rest[i])) << (8 * i);
        }
        rest.remove_prefix(bytes);
        return true;
    }

    template <typename T> bool number(T& value) {
        std::uint64_t raw = 0;
        if (!integer(raw, sizeof(T))) {
            return false;
        }
        value = static_cast<T>(raw);
        return true;
    }

    // Finite values only: what goes into the physics must be a number.
    bool real(float& value) {
        std::uint32_t raw = 0;
        if (!number(raw)) {
            return false;
        }
        value = std::bit_cast<float>(raw);
        return std::isfinite(value);
    }

    bool point(ReplayPoint& point) { return real(point.x) && real(point.y) && real(point.z); }

    bool text(std::string& text) {
        std::uint16_t length = 0;
        if (!number(length) || rest.size() < length) {
            return false;
        }
        text.assign(rest.substr(0, length));
        rest.remove_prefix(length);
        return true;
    }

    bool literal(std::string_view expected) {
        if (rest.substr(0, expected.size()) != expected) {
            return false;
        }
        rest.remove_prefix(expected.size());
        return true;
    }

    std::size_t left() const { return rest.size(); }

private:
    std::string_view rest;
};

bool readHeader(Reader& in, ReplayHeader& header) {
    std::uint64_t recordedAt = 0;
    return in.text(header.gameVersion) && in.text(header.levelFile) && in.text(header.levelName) &&
           in.text(header.levelHash) && in.number(header.seed) && in.integer(recordedAt, 8) &&
           (header.recordedAt = static_cast<std::int64_t>(recordedAt), true);
}

enum class Outcome { Read, Cut, Damaged };

// One record after its tag; Cut when the bytes end inside it.
Outcome readRecord(char tag, Reader& in, Replay& replay) {
    const auto step = static_cast<std::uint32_t>(replay.steps.size());
    const std::size_t before = in.left();
    bool ok = false;
    switch (tag) {
    case kStepTag:
    case kStickStepTag: {
        ReplayStep read;
        HeldControls unused;
        ok = in.number(read.controls) && in.real(read.heading) &&
             (tag == kStepTag || (in.real(read.stickForward) && in.real(read.stickRight)));
        if (ok && (!unpackControls(read.controls, unused) || std::fabs(read.stickForward) > 1.0f ||
                   std::fabs(read.stickRight) > 1.0f)) {
            return Outcome::Damaged;
        }
        if (ok) {
            replay.steps.push_back(read);
        }
        break;
    }
    case kRespawnTag: {
        std::uint8_t kind = 0;
        ok = in.number(kind);
        if (ok && kind > ReplayRespawn::SnapshotKey) {
            return Outcome::Damaged;
        }
        if (ok) {
            replay.respawns.push_back({step, static_cast<ReplayRespawn::Kind>(kind)});
        }
        break;
    }
    case kCheckTag: {
        ReplayBall ball{step, {}, {}};
        ok = in.point(ball.position) && in.point(ball.velocity);
        if (ok) {
            replay.checks.push_back(ball);
        }
        break;
    }
    case kPathTag: {
        ReplayBall ball{step, {}, {}};
        ok = in.point(ball.position);
        if (ok) {
            replay.path.push_back(ball);
        }
        break;
    }
    case kFinishTag: {
        std::uint32_t steps = 0;
        ok = in.number(steps);
        if (ok && (steps != step || !in.empty())) {
            return Outcome::Damaged;
        }
        if (ok) {
            replay.finishStep = steps;
        }
        break;
    }
    default:
        return Outcome::Damaged;
    }
    if (ok) {
        return Outcome::Read;
    }
    // A non-finite number was read whole: damage, not a cut.
    const std::size_t sizes[] = {6, 14, 1, 24, 12, 4};
    const std::size_t size = sizes[std::string_view("STRCPF").find(tag)];
    return before >= size ? Outcome::Damaged : Outcome::Cut;
}

} // namespace

std::uint16_t packControls(const HeldControls& controls) {
    std::uint16_t bits = 0;
    for (std::size_t i = 0; i < std::size(kControlOrder); ++i) {
        bits |= static_cast<std::uint16_t>(controls.*kControlOrder[i] ? 1u << i : 0u);
    }
    return bits;
}

bool unpackControls(std::uint16_t bits, HeldControls& controls) {
    for (std::size_t i = 0; i < std::size(kControlOrder); ++i) {
        controls.*kControlOrder[i] = (bits & (1u << i)) != 0;
    }
    return (bits & ~kControlBits) == 0;
}

ReplayStep stepOf(const HeldControls& controls, float heading) {
    return {packControls(controls), heading, controls.stickForward, controls.stickRight};
}

void unpackStep(const ReplayStep& step, HeldControls& controls) {
    unpackControls(step.controls, controls);
    controls.stickForward = step.stickForward;
    controls.stickRight = step.stickRight;
}

std::string header(const ReplayHeader& header) {
    std::string out(kMagic);
    putInt(out, kVersion, 2);
    putText(out, header.gameVersion);
    putText(out, header.levelFile);
    putText(out, header.levelName);
    putText(out, header.levelHash);
    putInt(out, header.seed, 4);
    putInt(out, static_cast<std::uint64_t>(header.recordedAt), 8);
    return out;
}

// A step with the stick at rest is written as version 1 wrote every step.
void appendStep(std::string& out, const ReplayStep& step) {
    const bool stick = step.stickForward != 0.0f || step.stickRight != 0.0f;
    out.push_back(stick ? kStickStepTag : kStepTag);
    putInt(out, step.controls, 2);
    putFloat(out, step.heading);
    if (stick) {
        putFloat(out, step.stickForward);
        putFloat(out, step.stickRight);
    }
}

void appendRespawn(std::string& out, ReplayRespawn::Kind kind) {
    out.push_back(kRespawnTag);
    putInt(out, kind, 1);
}

void appendCheck(std::string& out, const ReplayPoint& position, const ReplayPoint& velocity) {
    out.push_back(kCheckTag);
    putPoint(out, position);
    putPoint(out, velocity);
}

void appendPath(std::string& out, const ReplayPoint& position) {
    out.push_back(kPathTag);
    putPoint(out, position);
}

void appendFinish(std::string& out, std::uint32_t steps) {
    out.push_back(kFinishTag);
    putInt(out, steps, 4);
}

Parsed parse(std::string_view bytes) {
    Parsed parsed;
    Reader in(bytes);
    if (!in.literal(kMagic) || !in.number(parsed.version)) {
        parsed.problem = Problem::Damaged;
        return parsed;
    }
    if (parsed.version < kOldestVersion || parsed.version > kVersion) {
        parsed.problem = Problem::OtherVersion;
        return parsed;
    }
    Replay replay;
    if (!readHeader(in, replay.header)) {
        parsed.problem = Problem::Damaged;
        return parsed;
    }
    while (!in.empty()) {
        std::uint8_t tag = 0;
        in.number(tag);
        const Outcome outcome = readRecord(static_cast<char>(tag), in, replay);
        if (outcome == Outcome::Damaged) {
            parsed.problem = Problem::Damaged;
            return parsed;
        }
        if (outcome == Outcome::Cut) {
            break;
        }
    }
    parsed.replay = std::move(replay);
    return parsed;
}

} // namespace ReplayFormat
