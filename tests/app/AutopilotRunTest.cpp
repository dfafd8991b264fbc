#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <csignal>

#include "ChildProcess.h"
#include "GameProcess.h"
#include "SoundGenerator.h"
#include "app/Autopilot.h"
#include "core/PlayerFiles.h"
#include "game/Route.h"

namespace fs = std::filesystem;

namespace {

// Generous: the campaign's eight levels share the machine's two cores with other tests.
constexpr int kRunTimeout = 540000;
constexpr int kRate = 44100;
// The first checkpoint of level 1 comes within seconds at four steps a frame.
constexpr int kCheckpointTimeout = 180000;

// Every line of `log` that holds `text`.
std::vector<std::string> linesWith(const std::string& log, const std::string& text) {
    std::vector<std::string> found;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        if (line.find(text) != std::string::npos) {
            found.push_back(line);
        }
    }
    return found;
}

std::string lastLines(const std::string& text, std::size_t count) {
    std::size_t at = text.size();
    for (std::size_t found = 0; found <= count && at > 0; ++found) {
        at = text.rfind('\n', at - 1);
        if (at == std::string::npos) {
            return text;
        }
    }
    return text.substr(at + 1);
}

// Seconds since midnight of a log line's time stamp ("04:13:56.686 INFO ...").
double stampOf(const std::string& line) {
    int hours = 0, minutes = 0, seconds = 0, milliseconds = 0;
    std::sscanf(line.c_str(), "%d:%d:%d.%d", &hours, &minutes, &seconds, &milliseconds);
    return hours * 3600.0 + minutes * 60.0 + seconds + milliseconds / 1000.0;
}

// The number that follows `label` in the run figures line.
double figure(const std::string& log, const std::string& label) {
    const std::vector<std::string> lines = linesWith(log, "Run figures: ");
    if (lines.empty()) {
        return -1.0;
    }
    const std::size_t at = lines.back().find(label);
    return at == std::string::npos ? -1.0 : std::atof(lines.back().c_str() + at + label.size());
}

std::vector<float> numbersIn(const std::string& line) {
    static const std::regex number(R"(-?\d+(\.\d+)?)");
    std::vector<float> numbers;
    for (auto it = std::sregex_iterator(line.begin(), line.end(), number); it != std::sregex_iterator();
         ++it) {
        numbers.push_back(std::stof(it->str()));
    }
    return numbers;
}

// The left channel of the 16-bit stereo wave file, scaled to -1..1.
std::vector<float> readWave(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(12);
    std::vector<float> left;
    char id[4];
    std::uint32_t size = 0;
    while (in.read(id, 4) && in.read(reinterpret_cast<char*>(&size), 4)) {
        std::vector<char> body(size);
        in.read(body.data(), size);
        body.resize(static_cast<std::size_t>(in.gcount()));
        if (std::string(id, 4) == "data") {
            const auto* samples = reinterpret_cast<const std::int16_t*>(body.data());
            for (std::size_t i = 0; i + 1 < body.size() / 2; i += 2) {
                left.push_back(samples[i] / 32768.0f);
            }
        }
    }
    return left;
}

// The loudest sample between `from` and `to` seconds.
float peak(const std::vector<float>& wave, double from, double to) {
    float loudest = 0.0f;
    const auto first = static_cast<std::size_t>(std::max(0.0, from * kRate));
    const auto last = std::min(wave.size(), static_cast<std::size_t>(std::max(0.0, to * kRate)));
    for (std::size_t i = first; i < last; ++i) {
        loudest = std::max(loudest, std::abs(wave[i]));
    }
    return loudest;
}

// The game on a copy of its tree made cheap to draw (a small window, no shadows), with every
// sound that plays on and on (music, ambience, the fire, collisions) silenced, so that what the
// wave backend records are the sounds of the player's doings.
class AutopilotRun {
public:
    AutopilotRun() {
        std::string config = install.readFile("Vorn.ini");
        replace(config, "width = 640", "width = 320");
        replace(config, "height = 480", "height = 240");
        replace(config, "shadows = true", "shadows = false");
        std::ofstream(install.root() / "Vorn.ini") << config;
        std::string sounds = install.readFile("sound.ini");
        replace(sounds, "minimumforce = 1000.0", "minimumforce = 1e30");
        std::ofstream(install.root() / "sound.ini") << sounds;
        const Pcm silence{22050, 1, std::vector<float>(22050, 0.0f)};
        for (const char* loop : {"sounds/menu/background.ogg", "sounds/ambient.ogg", "sounds/fire.ogg"}) {
            writeOgg(silence, install.root() / loop);
        }
        std::ofstream(install.root() / "alsoft.conf")
            << "[general]\ndrivers = wave\nsample-type = int16\nchannels = stereo\nfrequency = " << kRate
            << "\n[wave]\nfile = " << wavePath().string() << "\n";
    }

    fs::path wavePath() const { return install.root() / "sound.wav"; }

    // Plays until the game ends, game time running `speed` physics steps a frame (a deterministic
    // run whatever the machine's load); the exit code.
    int play(const std::string& mode, int speed = 2) {
        GameProcess game(install, {{"VORN_AUTOPILOT", mode},
                                   {"VORN_GAME_SPEED", std::to_string(speed)},
                                   {"ALSOFT_DRIVERS", "wave"},
                                   {"ALSOFT_CONF", (install.root() / "alsoft.conf").string()}});
        const int code = game.waitForExit(kRunTimeout);
        log = install.readFile("Vorn.log");
        keepScreenshots(mode);
        return code;
    }

    // The replay the last run recorded, as its log names it.
    fs::path recorded() const {
        const std::vector<std::string> lines = linesWith(log, "Recording the run into ");
        return lines.empty() ? fs::path() : fs::path(lines.back().substr(lines.back().find(" into ") + 6));
    }

    // Plays a replay back through the game, headless and `speed` steps a frame, to its end;
    // the log of the playback.
    std::string playBack(const fs::path& replay, int speed = 20) const {
        ChildProcessOptions options;
        options.environment = {{"VORN_GAME_SPEED", std::to_string(speed)}, {"VORN_AUTOPILOT", ""}};
        options.timeoutSeconds = kRunTimeout / 1000;
        const ChildProcessResult result =
            runChildProcess({install.executable().string(), "--replay", replay.string()}, options);
        EXPECT_EQ(result.exitCode, 0) << result.output;
        return install.readFile("Vorn.log");
    }

    // Why the autopilot could not finish, with the picture of that moment; empty when it did.
    std::string stuck() const {
        const std::size_t at = log.find("Autopilot cannot go on");
        if (at == std::string::npos) {
            return "";
        }
        // The run's way there: what the autopilot and the steps logged before it gave up.
        std::string way;
        for (const std::string& line : linesWith(log.substr(0, log.find('\n', at)), "Autopilot")) {
            way += line.substr(std::min(line.size(), line.find(" - ") + 3)) + "\n";
        }
        return lastLines(way, 40) + "(see game_autopilot_*_moment_it_gave_up.png)";
    }

    // The scene files of the levels the main configuration lists, in order.
    std::vector<std::string> levels() const {
        static const std::regex entry(R"(^level(\d+)\s*=\s*\.\./(\S+)\s*$)");
        std::map<int, std::string> found;
        std::istringstream lines(install.readFile("Vorn.ini"));
        for (std::string line; std::getline(lines, line);) {
            std::smatch match;
            if (std::regex_match(line, match, entry)) {
                found[std::stoi(match[1])] = match[2];
            }
        }
        std::vector<std::string> scenes;
        for (int number = 1; found.contains(number); ++number) {
            scenes.push_back(found[number]);
        }
        return scenes;
    }

    // Checkpoints of a level's route in order, as their snapshots' respawn points should be.
    std::vector<Waypoint> checkpoints(const std::string& scene = "levels/level1/level1.scene") const {
        std::vector<Waypoint> stops;
        const std::optional<Route> route = Route::forScene((install.root() / scene).string());
        for (const Waypoint& waypoint : route ? route->waypoints : std::vector<Waypoint>{}) {
            if (waypoint.action == Waypoint::Action::Stop) {
                stops.push_back(waypoint);
            }
        }
        return stops;
    }

    int itemsInLevel() const {
        const std::string scene = install.readFile("levels/level1/level1.scene");
        int items = 0;
        for (const char* profile : {"[power]", "[powerbottle]", "[turbo]", "[turbobottle]"}) {
            for (std::size_t at = scene.find(profile); at != std::string::npos;
                 at = scene.find(profile, at + 1)) {
                ++items;
            }
        }
        return items;
    }

    // Seconds into the recording of the first line holding `text` after `from` (of `after`).
    std::vector<double> soundTimes(const std::string& text) const {
        const std::vector<std::string> opened = linesWith(log, "Initializing SoundManager");
        std::vector<double> times;
        for (const std::string& line : linesWith(log, text)) {
            times.push_back(stampOf(line) - stampOf(opened.front()));
        }
        return times;
    }

    GameCopy install;
    std::string log;
    std::vector<fs::path> screenshots;

private:
    static void replace(std::string& text, const std::string& from, const std::string& to) {
        const std::size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
    }

    // The game names its screenshots screen0.tga, screen1.tga, ... in the player's data folder, in
    // the order the log tells.
    void keepScreenshots(const std::string& mode) {
        int number = 0;
        for (const std::string& line : linesWith(log, "Autopilot: screenshot of the ")) {
            std::string what = line.substr(line.find("screenshot of the ") + 18);
            for (char& c : what) {
                c = c == ' ' ? '_' : c;
            }
            const fs::path file =
                PlayerFiles::dataDir() / "screenshots" / ("screen" + std::to_string(number++) + ".tga");
            if (fs::exists(file)) {
                keepAsPicture(file, "autopilot_" + mode + "_" + what);
                screenshots.push_back(file);
            }
        }
    }
};

// What a run did at which step ("Step 812: checkpoint saved, ball at x y z"), in order.
std::vector<std::string> stepsOf(const std::string& log) {
    std::vector<std::string> events;
    for (const std::string& line : linesWith(log, " - Step ")) {
        events.push_back(line.substr(line.find(" - Step ") + 3));
    }
    return events;
}

// The played-back run did what the recorded one did at the same steps, and its ball was where
// the recorded one was each time, within 1e-4.
void expectSameRun(const std::string& recordedLog, const std::string& playedLog) {
    const std::vector<std::string> recorded = stepsOf(recordedLog);
    const std::vector<std::string> played = stepsOf(playedLog);
    ASSERT_FALSE(recorded.empty());
    ASSERT_EQ(played.size(), recorded.size()) << playedLog;
    for (std::size_t i = 0; i < recorded.size(); ++i) {
        const std::size_t at = std::min(recorded[i].find("ball at"), recorded[i].size());
        EXPECT_EQ(played[i].substr(0, at), recorded[i].substr(0, at));
        const std::vector<float> want = numbersIn(recorded[i].substr(at));
        const std::vector<float> got = numbersIn(played[i].substr(std::min(at, played[i].size())));
        ASSERT_EQ(got.size(), want.size()) << played[i];
        for (std::size_t n = 0; n < want.size(); ++n) {
            EXPECT_NEAR(got[n], want[n], 1e-4f) << played[i] << "\n" << recorded[i];
        }
    }
    EXPECT_TRUE(linesWith(playedLog, "Replay drifts").empty());
    EXPECT_EQ(linesWith(playedLog, "Replay stayed on the recorded run at every check").size(), 1u);
}

// Warning and error lines of the log.
std::string warnings(const std::string& log) {
    std::string found;
    for (const char* level : {" WARN ", " ERROR ", " FATAL "}) {
        for (const std::string& line : linesWith(log, level)) {
            found += line + "\n";
        }
    }
    return found;
}

} // namespace

TEST(AutopilotTest, AFullJumpLandsOnHigherGroundSoonerThanOnItsOwnHeight) {
    EXPECT_NEAR(Autopilot::flightTime(0.0f), 1.55f, 0.1f) << "about 15 upwards against twice Earth's gravity";
    EXPECT_LT(Autopilot::flightTime(3.0f), Autopilot::flightTime(0.0f));
    EXPECT_GT(Autopilot::flightTime(-1.0f), Autopilot::flightTime(0.0f));
}

// Level 1's ramp rises 6 over 20 and is rolled up; a pit's ledge rises 9 over 10.5 and is bounced to.
TEST(AutopilotTest, OnlyALedgeTooHighAndTooSteepIsBouncedTo) {
    EXPECT_FALSE(Autopilot::reachedByBouncing({16.0f, 21.0f, -302.0f}, {16.0f, 27.0f, -322.0f}));
    EXPECT_TRUE(Autopilot::reachedByBouncing({0.0f, 0.0f, 0.0f}, {0.0f, 9.0f, -10.5f}));
    EXPECT_FALSE(Autopilot::reachedByBouncing({0.0f, 0.0f, 0.0f}, {0.0f, 3.0f, -2.0f}))
        << "a jump gets there";
}

TEST(AutopilotTest, TheUsualOffWordsLeaveItOff) {
    for (const char* off : {"", "0", "false", "False", "no", "OFF"}) {
        setenv("VORN_AUTOPILOT", off, 1);
        EXPECT_EQ(Autopilot::fromEnvironment(), nullptr) << off;
    }
    for (const char* on : {"1", "fog"}) {
        setenv("VORN_AUTOPILOT", on, 1);
        EXPECT_NE(Autopilot::fromEnvironment(), nullptr) << on;
    }
    unsetenv("VORN_AUTOPILOT");
}

TEST(AutopilotTest, ARouteIsReadLineByLineAndABadLineIsNamed) {
    std::string error;
    const std::optional<Route> route =
        Route::parse("# comment\n16 21 -258 roll\n\n16 21 -281.5 jump # over the gap\n70 36 -431 boost\n"
                     "70 36 -470 stop\n0 21 -28 wait\n",
                     error);
    ASSERT_TRUE(route) << error;
    ASSERT_EQ(route->waypoints.size(), 5u);
    EXPECT_EQ(route->waypoints[4].action, Waypoint::Action::Wait);
    EXPECT_EQ(route->waypoints[1].position.z, -281.5f);
    EXPECT_EQ(route->waypoints[1].action, Waypoint::Action::Jump);
    EXPECT_EQ(route->waypoints[3].action, Waypoint::Action::Stop);
    for (const char* bad : {"16 21 roll\n", "16 21 -258 fly\n", "16 21 -258 roll now\n"}) {
        EXPECT_FALSE(Route::parse(std::string("1 2 3 roll\n") + bad, error)) << bad;
    }
    EXPECT_FALSE(Route::parse("# nothing to follow\n", error));
    Route::parse("1 2 3 roll\n4 5 6 hop\n", error);
    EXPECT_EQ(error, "line 2: \"4 5 6 hop\"");
}

// From the main menu through the loading screen, the whole first level and out again, as a player
// plays it: every checkpoint saves, most items are collected, the level completes once.
TEST(AutopilotRunTest, PlaysTheFirstLevelFromTheMainMenuToLevelCompleteAndOut) {
    AutopilotRun run;
    const int code = run.play("1");
    ASSERT_EQ(run.stuck(), "");
    EXPECT_EQ(code, 0) << run.install.readFile("output.txt");
    const std::string& log = run.log;
    EXPECT_EQ(warnings(log), "");
    EXPECT_TRUE(linesWith(log, "OpenGL error").empty());
    EXPECT_EQ(linesWith(log, "Autopilot: level complete").size(), 1u);
    EXPECT_EQ(figure(log, "deaths "), 0.0);

    const std::vector<Waypoint> checkpoints = run.checkpoints();
    const std::vector<std::string> snapshots = linesWith(log, "Autopilot: snapshot ");
    ASSERT_EQ(snapshots.size(), checkpoints.size()) << log;
    EXPECT_EQ(figure(log, "snapshots "), static_cast<double>(checkpoints.size()));
    for (std::size_t i = 0; i < checkpoints.size(); ++i) {
        const std::vector<float> numbers = numbersIn(snapshots[i].substr(snapshots[i].find("respawns at")));
        EXPECT_NEAR(numbers.at(0), checkpoints[i].position.x, 0.01f) << snapshots[i];
        EXPECT_NEAR(numbers.at(2), checkpoints[i].position.z, 0.01f) << snapshots[i];
    }
    EXPECT_GE(figure(log, "items picked up "), run.itemsInLevel() / 2.0) << "of " << run.itemsInLevel();
    EXPECT_EQ(run.screenshots.size(), 4u) << "main menu, start of play, checkpoint, level complete";

    // What the player hears: the start of the game, the pickups and the win, in a quiet recording.
    const std::vector<float> wave = readWave(run.wavePath());
    ASSERT_GT(wave.size(), static_cast<std::size_t>(10 * kRate));
    const auto heard = [&](const std::string& event) {
        const std::vector<double> times = run.soundTimes(event);
        EXPECT_FALSE(times.empty()) << event;
        for (const double at : times) {
            EXPECT_GT(peak(wave, at - 0.1, at + 0.6), 0.02f) << event << " at " << at << " s";
        }
    };
    heard("Autopilot: new game");
    heard("Autopilot: item picked up");
    heard("Autopilot: level complete");
    const double start = run.soundTimes("Autopilot: new game").front();
    const double end = run.soundTimes("Autopilot: level complete").front();
    bool quiet = false;
    for (double at = start; at + 0.5 < end && !quiet; at += 0.25) {
        quiet = peak(wave, at, at + 0.5) < 0.005f;
    }
    EXPECT_TRUE(quiet) << "no half second of silence in play: the recording tells nothing";

    // The run was recorded; played back it checkpoints and finishes at the same steps.
    const fs::path replay = run.recorded();
    ASSERT_TRUE(fs::exists(replay)) << replay;
    const std::string played = run.playBack(replay);
    expectSameRun(log, played);
    EXPECT_EQ(linesWith(played, "Replay ended after").size(), 1u);
    EXPECT_NE(linesWith(played, "Replay ended after").at(0).find(": finished"), std::string::npos);
    EXPECT_EQ(warnings(played), "");
}

// Rolls into the fog once after the first checkpoint: one game over, one respawn there with the
// saved energy and the bonus, and then the level finished all the same.
TEST(AutopilotRunTest, DiesInTheFogOnceRespawnsAtTheFirstCheckpointWithTheBonusAndFinishes) {
    AutopilotRun run;
    const int code = run.play("fog");
    ASSERT_EQ(run.stuck(), "");
    EXPECT_EQ(code, 0) << run.install.readFile("output.txt");
    const std::string& log = run.log;
    EXPECT_EQ(warnings(log), "");
    EXPECT_EQ(figure(log, "deaths "), 1.0);
    EXPECT_EQ(linesWith(log, "Autopilot: game over").size(), 1u);
    EXPECT_EQ(linesWith(log, "Autopilot: level complete").size(), 1u);

    const std::vector<std::string> snapshots = linesWith(log, "Autopilot: snapshot 1 ");
    const std::vector<std::string> respawns = linesWith(log, "Autopilot: respawned at ");
    ASSERT_EQ(snapshots.size(), 1u);
    ASSERT_EQ(respawns.size(), 1u);
    const std::vector<float> saved = numbersIn(snapshots[0].substr(snapshots[0].find("respawns at")));
    const std::vector<float> respawned = numbersIn(respawns[0].substr(respawns[0].find("respawned at")));
    const Waypoint first = run.checkpoints().at(0);
    EXPECT_NEAR(respawned.at(0), first.position.x, 0.01f);
    EXPECT_NEAR(respawned.at(2), first.position.z, 0.01f);
    EXPECT_NEAR(respawned.at(3), saved.at(3) + 0.05f, 1e-4f) << respawns[0] << "\n" << snapshots[0];
    EXPECT_EQ(run.screenshots.size(), 5u) << "with the game over";

    // The death and the respawn come again at the same steps when the run is played back.
    const std::string played = run.playBack(run.recorded());
    expectSameRun(log, played);
    EXPECT_EQ(linesWith(played, ": game over").size(), 1u);
    EXPECT_EQ(warnings(played), "");
}

// Killed after its first checkpoint, the run's replay plays back to where the file ends: the
// checkpoint at its step, and then the end of what was recorded.
TEST(AutopilotRunTest, ARunKilledMidLevelPlaysBackToTheCut) {
    AutopilotRun run;
    {
        GameProcess game(run.install, {{"VORN_AUTOPILOT", "1"}, {"VORN_GAME_SPEED", "4"}});
        ASSERT_TRUE(game.waitForLog(": checkpoint saved", kCheckpointTimeout))
            << lastLines(run.install.readFile("Vorn.log"), 40) << "\n"
            << run.install.readFile("output.txt") << "\n"
            << game.stacks();
        kill(game.pid(), SIGKILL);
        game.waitForExit(kRunTimeout);
    }
    run.log = run.install.readFile("Vorn.log");
    const std::vector<std::string> before = stepsOf(run.log);
    ASSERT_FALSE(before.empty());
    const std::string played = run.playBack(run.recorded());
    const std::vector<std::string> after = stepsOf(played);
    ASSERT_FALSE(after.empty()) << played;
    EXPECT_EQ(after.front(), before.front());
    const std::vector<std::string> ended = linesWith(played, "Replay ended after");
    ASSERT_EQ(ended.size(), 1u) << played;
    EXPECT_NE(ended[0].find(": cut short"), std::string::npos) << ended[0];
    EXPECT_GE(numbersIn(ended[0].substr(ended[0].find("after"))).at(0), numbersIn(before.front()).at(0));
    EXPECT_EQ(warnings(played), "");
}

// Every level in order from the main menu through "Next level" to the campaign-complete screen
// and out, game time running three steps a frame: each checkpoint saves where the route stops,
// each level completes, and the progress file holds a best time for each.
TEST(AutopilotRunTest, PlaysTheWholeCampaignThroughNextLevelAndKeepsABestTimeForEachLevel) {
    AutopilotRun run;
    const std::vector<std::string> levels = run.levels();
    ASSERT_EQ(levels.size(), 8u);
    const int code = run.play("campaign", 3);
    ASSERT_EQ(run.stuck(), "");
    EXPECT_EQ(code, 0) << run.install.readFile("output.txt");
    const std::string& log = run.log;
    EXPECT_EQ(warnings(log), "");
    EXPECT_EQ(linesWith(log, "Game time runs 3 physics step(s) a frame").size(), 1u);
    EXPECT_NEAR(figure(log, "game time ") * 60.0 / 3.0, figure(log, "frames "), figure(log, "frames ") * 0.05)
        << "three physics steps a frame";
    EXPECT_EQ(linesWith(log, "Autopilot: new game").size(), 1u) << "one start from the main menu";
    EXPECT_EQ(linesWith(log, "Autopilot: level complete").size(), levels.size());
    // The ball's start jitters with each run's seed: a death is allowed, each level is still finished.
    const double deaths = figure(log, "deaths ");
    EXPECT_LE(deaths, 2.0);
    EXPECT_EQ(
        linesWith(log, "Autopilot: campaign complete after " + std::to_string(levels.size()) + " levels")
            .size(),
        1u);

    std::vector<Waypoint> checkpoints;
    for (const std::string& scene : levels) {
        const std::vector<Waypoint> stops = run.checkpoints(scene);
        EXPECT_FALSE(stops.empty()) << scene;
        checkpoints.insert(checkpoints.end(), stops.begin(), stops.end());
    }
    const std::vector<std::string> snapshots = linesWith(log, "Autopilot: snapshot ");
    ASSERT_EQ(snapshots.size(), checkpoints.size()) << log;
    for (std::size_t i = 0; i < checkpoints.size(); ++i) {
        const std::vector<float> numbers = numbersIn(snapshots[i].substr(snapshots[i].find("respawns at")));
        EXPECT_NEAR(numbers.at(0), checkpoints[i].position.x, 0.01f) << snapshots[i];
        EXPECT_NEAR(numbers.at(2), checkpoints[i].position.z, 0.01f) << snapshots[i];
    }

    const std::string progress = run.install.readFile("xdg/data/vorn/progress.txt");
    const std::vector<std::string> played = linesWith(log, "Autopilot: playing level ");
    ASSERT_EQ(played.size(), levels.size());
    for (std::size_t level = 0; level < levels.size(); ++level) {
        const std::string number = std::to_string(level + 1);
        EXPECT_NE(played[level].find("playing level " + number + " '"), std::string::npos) << played[level];
        const std::vector<std::string> kept = linesWith(progress, "level" + number + " ");
        ASSERT_EQ(kept.size(), 1u) << progress;
        EXPECT_GT(std::stoll(kept[0].substr(kept[0].find(' ') + 1)), 10000) << kept[0];
    }
    EXPECT_EQ(run.screenshots.size(), 1 + 3 * levels.size() + static_cast<std::size_t>(deaths))
        << "the main menu, the start, first checkpoint and completion of every level, and each game over";
}
