#include "app/ReplayDirector.h"

#include <cstdio>
#include <ctime>
#include <random>
#include <sstream>

#include "core/ConfigManager.h"
#include "core/GameVersion.h"
#include "core/Log.h"
#include "core/PlayerFiles.h"
#include "core/StateManager.h"
#include "game/Camera.h"
#include "game/Ghost.h"
#include "game/MainChar.h"
#include "game/PlaySteps.h"
#include "game/ReplayLibrary.h"
#include "game/SaveStateManager.h"
#include "physics/PhysicsActor.h"
#include "physics/PhysicsScene.h"
#include "platform/GlfwKeys.h"
#include "scene/PhysicsManager.h"
#include "scene/SceneManager.h"
#include "ui/Campaign.h"
#include "ui/HUD.h"
#include "ui/LevelLink.h"

VORN_FILE_LOGGER("ReplayDirector")

namespace {

constexpr int kDefaultKeep = 20;
constexpr int kSpeeds[] = {1, 2, 4};

Config* mainConfig() {
    return ConfigManager::getInstance()->getMainConfig();
}

std::vector<std::string> sharedFiles() {
    const Config* config = mainConfig();
    return {config->getString("Files:ObjectPropertiesFile", "../objectproperties.ini"),
            config->getString("Files:PhysXMaterialsFile", "../physicsmaterials.ini")};
}

// The ball's place and speed; zero without a ball.
std::pair<ReplayPoint, ReplayPoint> ballState() {
    MainChar* ball = MainChar::current();
    PhysicsActor* actor = ball ? ball->getActor() : nullptr;
    if (!actor) {
        return {};
    }
    const PhysicsVec3 p = actor->getGlobalPosition();
    const PhysicsVec3 v = actor->getLinearVelocity();
    return {{p.x, p.y, p.z}, {v.x, v.y, v.z}};
}

std::string ballText() {
    const ReplayPoint p = ballState().first;
    char text[96];
    std::snprintf(text, sizeof text, "%.6f %.6f %.6f", p.x, p.y, p.z);
    return text;
}

std::optional<int> levelIndexOf(const std::string& levelFile) {
    SceneManager* levels = SceneManager::getInstance();
    for (int index = 0; levels && index < levels->getLevelCount(); ++index) {
        if (levels->getPath(index) == levelFile) {
            return index;
        }
    }
    return std::nullopt;
}

void showMessage(const std::string& text) {
    if (HUD* hud = HUD::existingInstance()) {
        hud->showMessage(text);
    }
}

// A level played again starts from the same physics and the same random numbers.
void resetRandomness(std::uint32_t seed) {
    std::srand(seed);
    PhysicsManager* physics = PhysicsManager::existingInstance();
    if (PhysicsScene* scene = physics ? physics->getCurrentScene() : nullptr) {
        scene->rebuildCaches();
    }
}

} // namespace

ReplayDirector::ReplayDirector(Controls& ballControls, PlaySteps& playSteps)
    : controls(ballControls), steps(playSteps) {}

ReplayDirector::~ReplayDirector() = default;

void ReplayDirector::install(StateManager& states) {
    states.addListener([this](int oldState, int newState) { stateChanged(oldState, newState); });
    controls.onStep = [this](const StepControls& step) {
        if (recorder) {
            const auto [position, velocity] = ballState();
            recorder->step(ReplayFormat::stepOf(step.held, step.heading), position, velocity);
        }
        onStep();
    };
    steps.beforeStep = [this] { beforeStep(); };
}

void ReplayDirector::stateChanged(int oldState, int newState) {
    if (oldState == LOADING && newState == IN_GAME) {
        begin();
        return;
    }
    if (oldState == IN_GAME && newState == GAME_OVER) {
        LOG_INFO("Step " << runSteps << ": game over");
    }
    if (oldState == IN_GAME && newState == LEVEL_COMPLETE) {
        LOG_INFO("Step " << runSteps << ": level complete, ball at " << ballText());
        if (recorder) {
            recorder->finish();
        }
    }
    if (oldState == GAME_OVER && newState == IN_GAME && recorder) {
        recorder->respawn(ReplayRespawn::FromGameOver);
    }
    if (newState != IN_GAME && newState != PAUSED && newState != GAME_OVER) {
        stopRecording();
    }
    // A replay whose level could not be loaded is not played by the next new game.
    if (newState == MAIN_MENU || newState == REPLAYS) {
        pending.reset();
    }
}

void ReplayDirector::begin() {
    runSteps = 0;
    const SaveStateManager* saves = SaveStateManager::existingInstance();
    snapshotsSeen = saves ? saves->getCreatedCount() : 0;
    ghost.reset();
    if (pending) {
        startPlayback();
    } else {
        startRecording();
    }
}

void ReplayDirector::startRecording() {
    SceneManager* levels = SceneManager::getInstance();
    const int level = levels ? levels->getCurrentLevel() : -1;
    if (level < 0) {
        return;
    }
    ReplayHeader header;
    header.gameVersion = gameVersion();
    header.levelFile = levels->getPath(level);
    header.levelName = levels->getLevelName(level);
    header.levelHash = ReplayLibrary::levelHash(header.levelFile, sharedFiles());
    header.seed = std::random_device{}();
    header.recordedAt = static_cast<std::int64_t>(std::time(nullptr));
    resetRandomness(header.seed);
    if (mainConfig()->getBool("Replays:ghost", true)) {
        loadGhost(header.levelFile, header.levelHash);
    }
    const std::filesystem::path folder = ReplayLibrary::folder();
    recorder =
        ReplayRecorder::create(ReplayLibrary::newPath(folder, header.levelFile, header.recordedAt), header);
    if (recorder) {
        LOG_INFO("Recording the run into " << recorder->path().string());
    }
}

void ReplayDirector::loadGhost(const std::string& levelFile, const std::string& hash) {
    const std::optional<ReplayLibrary::Entry> best =
        ReplayLibrary::best(ReplayLibrary::list(ReplayLibrary::folder()), levelFile, hash);
    if (!best) {
        return;
    }
    const ReplayFormat::Parsed parsed = ReplayFormat::parse(PlayerFiles::read(best->path).value_or(""));
    if (parsed.replay) {
        ghost = std::make_unique<Ghost>(parsed.replay->path);
        LOG_INFO("The ghost follows " << best->path.string());
    }
}

void ReplayDirector::stopRecording() {
    if (!recorder) {
        return;
    }
    LOG_INFO("Run recorded: " << recorder->steps() << " steps, "
                              << (recorder->finished() ? "finished" : "cut short"));
    const std::filesystem::path path = recorder->path();
    recorder.reset();
    ghost.reset();
    ReplayLibrary::prune(path.parent_path(), mainConfig()->getInt("Replays:keep", kDefaultKeep));
}

std::string ReplayDirector::play(const std::filesystem::path& path, bool atEnd) {
    const std::optional<std::string> bytes = PlayerFiles::read(path);
    const ReplayFormat::Parsed parsed = ReplayFormat::parse(bytes.value_or(""));
    std::optional<int> level;
    std::string hash;
    if (parsed.replay && (level = levelIndexOf(parsed.replay->header.levelFile))) {
        hash = ReplayLibrary::levelHash(parsed.replay->header.levelFile, sharedFiles());
    }
    const ReplayLibrary::Refusal refusal =
        bytes ? ReplayLibrary::check(parsed, gameVersion(), hash) : ReplayLibrary::Refusal::Damaged;
    if (refusal != ReplayLibrary::Refusal::None) {
        LOG_ERROR("Replay " << path.string() << " refused: " << ReplayLibrary::message(refusal));
        return ReplayLibrary::message(refusal);
    }
    LOG_INFO("Playing back " << path.string() << ": " << parsed.replay->steps.size() << " steps of "
                             << parsed.replay->header.levelName);
    pending = parsed.replay;
    exitAtEnd = atEnd;
    Campaign::getInstance()->choose(*level);
    StateManager::getInstance()->setState(LOADING);
    return "";
}

void ReplayDirector::startPlayback() {
    player = std::make_unique<ReplayPlayer>(std::move(*pending));
    pending.reset();
    paused = false;
    speed = 1;
    resetRandomness(player->replay().header.seed);
    controls.source = [this] { return replayedStep(); };
    showMessage(kHint);
}

std::optional<StepControls> ReplayDirector::replayedStep() {
    const std::optional<ReplayStep> step = player ? player->nextStep() : std::nullopt;
    if (!step) {
        endPlayback("cut short");
        return std::nullopt;
    }
    StepControls replayed;
    ReplayFormat::unpackStep(*step, replayed.held);
    replayed.heading = step->heading;
    if (Camera* camera = Camera::existingInstance()) {
        camera->yawTarget = step->heading;
    }
    return replayed;
}

void ReplayDirector::onStep() {
    ++runSteps;
    if (ghost) {
        ghost->advance();
    }
    if (player) {
        const auto [position, velocity] = ballState();
        player->compare(position, velocity);
    }
    const SaveStateManager* saves = SaveStateManager::existingInstance();
    if (saves && saves->getCreatedCount() != snapshotsSeen) {
        snapshotsSeen = saves->getCreatedCount();
        if (recorder) {
            recorder->flush();
        }
        LOG_INFO("Step " << runSteps << ": checkpoint saved, ball at " << ballText());
    }
}

// What the player did between two steps in play happens again before the same step.
void ReplayDirector::beforeStep() {
    if (player && player->dueRespawn() == ReplayRespawn::SnapshotKey) {
        player->takeRespawn();
        SaveStateManager::getInstance()->loadSaveState();
    }
}

void ReplayDirector::snapshotLoaded() {
    if (recorder) {
        recorder->respawn(ReplayRespawn::SnapshotKey);
    }
}

void ReplayDirector::beforeFrame() {
    if (!player || StateManager::getInstance()->getState() != GAME_OVER) {
        return;
    }
    if (player->dueRespawn() == ReplayRespawn::FromGameOver) {
        player->takeRespawn();
        LevelLink::get().respawn();
        StateManager::getInstance()->setState(IN_GAME);
    }
}

int ReplayDirector::stepsFor(int due) const {
    if (!player) {
        return due;
    }
    return paused ? 0 : due * speed;
}

void ReplayDirector::afterFrame() {
    const int state = StateManager::getInstance()->getState();
    if (!player) {
        // The command line's replay never came to play: its level could not be loaded.
        if (exitAtEnd && !pending && state == MAIN_MENU) {
            LOG_ERROR("The replay's level could not be loaded");
            StateManager::getInstance()->setState(EXIT);
        }
        return;
    }
    if (state == LEVEL_COMPLETE) {
        endPlayback("finished");
    } else if (state == GAME_OVER && player->dueRespawn() != ReplayRespawn::FromGameOver) {
        endPlayback("ended at a game over");
    } else if (state != IN_GAME && state != PAUSED && state != GAME_OVER) {
        endPlayback("left");
    }
}

void ReplayDirector::endPlayback(const char* how) {
    if (!player) {
        return;
    }
    LOG_INFO("Replay ended after " << player->stepsPlayed() << " steps: " << how << ", ball at "
                                   << ballText());
    if (!player->firstDrift()) {
        LOG_INFO("Replay stayed on the recorded run at every check");
    }
    player.reset();
    controls.source = nullptr;
    StateManager* states = StateManager::getInstance();
    const int next = exitAtEnd ? EXIT : REPLAYS;
    if (states->getState() != MAIN_MENU && states->getState() != REPLAYS && states->getState() != EXIT) {
        states->setState(next);
    }
}

bool ReplayDirector::keyPressed(int key) {
    if (!player) {
        return false;
    }
    switch (key) {
    case GlfwKeys::KEY_SPACE:
    case 'P':
        paused = !paused;
        showMessage(paused ? "Replay paused" : "Replay x" + std::to_string(speed));
        return true;
    case GlfwKeys::KEY_TAB:
        speed = speed == kSpeeds[2] ? kSpeeds[0] : speed * 2;
        showMessage("Replay x" + std::to_string(speed));
        return true;
    case GlfwKeys::KEY_ESC:
        endPlayback("left");
        return true;
    default:
        return false;
    }
}

void ReplayDirector::drawGhost() const {
    if (ghost && !player) {
        ghost->draw();
    }
}
