#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include "ChildProcess.h"

namespace {

bool appearsInOrder(const std::string& text, const std::vector<std::string>& lines) {
    std::size_t at = 0;
    for (const std::string& line : lines) {
        at = text.find(line, at);
        if (at == std::string::npos) {
            return false;
        }
        at += line.size();
    }
    return true;
}

} // namespace

TEST(Program, ConverterModeNeverEntersGameModeAndWaitsForEnter) {
    GameCopy game;
    const std::filesystem::path work = game.root() / "work";
    std::filesystem::create_directories(work);
    std::ofstream(work / "notes.txt") << "not a model";

    ChildProcessOptions options;
    options.input = "\n";
    options.workingDirectory = work;
    const ChildProcessResult run =
        runChildProcess({game.executable().string(), "notes.txt", "missing.mesh.xml"}, options);

    EXPECT_EQ(run.exitCode, 0) << run.output;
    const std::string log = game.readFile("Vorn.log");
    EXPECT_TRUE(appearsInOrder(log, {"Entering Converter Mode", "Unknown Filetype: 'notes.txt', skipping",
                                     "All files converted. Press enter to exit"}))
        << log;
    EXPECT_EQ(log.find("missing.mesh.xml"), std::string::npos) << "a missing file gives no message";
    EXPECT_EQ(log.find("Entering Game Mode"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(work / "notes.txt"));
}

TEST(Program, LogFileLandsInTheDataRootWithLocationOfEveryMessage) {
    GameCopy game;
    ChildProcessOptions options;
    options.workingDirectory = std::filesystem::temp_directory_path();
    const ChildProcessResult run = runChildProcess({game.executable().string(), "/nonexistent"}, options);
    EXPECT_EQ(run.exitCode, 0);
    const std::string log = game.readFile("Vorn.log");
    EXPECT_NE(log.find("Converter.cpp:"), std::string::npos) << "file and line recorded: " << log;
    EXPECT_NE(log.find("converter"), std::string::npos) << "function recorded";
    EXPECT_NE(run.output.find("Entering Converter Mode"), std::string::npos) << "info reaches the console";
}

TEST(Program, ProgramFoundThroughPathLogsLikeAnyOther) {
    GameCopy game;
    ChildProcessOptions options;
    options.environment["PATH"] = (game.root() / "bin").string() + ":/usr/bin:/bin";
    options.environment["LOG4CXX_CONFIGURATION"] = "";
    options.workingDirectory = std::filesystem::temp_directory_path();
    const ChildProcessResult run = runChildProcess({"vorn", "/nonexistent"}, options);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(game.readFile("Vorn.log").find("Entering Converter Mode"), std::string::npos);
}

TEST(Program, GameModeRunsStartUpInOrderAndEndsCleanlyOnTermination) {
    GameCopy game;
    ChildProcessOptions options;
    options.timeoutSeconds = 30;
    std::thread stopper([&] {
        // Wait for the main loop, then ask the game to end as the system would.
        for (int i = 0; i < 200; ++i) {
            if (game.readFile("Vorn.log").find("Starting Main Loop") != std::string::npos) {
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        std::system(("pkill -TERM -f '^" + game.executable().string() + "$'").c_str());
    });
    const ChildProcessResult run = runChildProcess({game.executable().string()}, options);
    stopper.join();

    EXPECT_EQ(run.exitCode, 0) << run.output;
    const std::string log = game.readFile("Vorn.log");
    EXPECT_TRUE(
        appearsInOrder(log, {"========== Starting Vorn ==========", "Entering Game Mode",
                             "Loading main config", "Initializing TimeManager", "Initializing StateManager",
                             "Starting Main Loop", "========== Exiting Vorn =========="}))
        << log;
    EXPECT_TRUE(std::filesystem::exists(game.root() / "security"));
}

// A replay that cannot be played ends the game at once with status 1 and says why: a damaged
// file, one of another format version, one whose level is gone.
TEST(Program, AReplayThatCannotBePlayedIsRefusedWithTheReason) {
    GameCopy game;
    const std::string header = std::string("VORNREPLAY") + '\x01' + '\0';
    const auto text = [](const std::string& s) { return std::string{static_cast<char>(s.size()), '\0'} + s; };
    const std::string gone = header + text("0.1.0") + text("../levels/nowhere/nowhere.scene") +
                             text("Nowhere") + text(std::string(40, 'A')) + std::string(12, '\0');
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"VORNREPLAX", "is damaged"},
        {std::string("VORNREPLAY") + '\x07' + '\0', "another version"},
        {gone, "has changed"}};
    for (const auto& [bytes, reason] : cases) {
        const std::filesystem::path file = game.root() / "run.vreplay";
        std::ofstream(file, std::ios::binary) << bytes;
        ChildProcessOptions options;
        options.timeoutSeconds = 30;
        const ChildProcessResult run =
            runChildProcess({game.executable().string(), "--replay", file.string()}, options);
        EXPECT_EQ(run.exitCode, 1) << run.output;
        EXPECT_NE(run.output.find(reason), std::string::npos) << run.output;
    }
}
