#include "InProcessGame.h"

#include "app/Frame.h"
#include "app/Window.h"
#include "core/ManagerLifetime.h"
#include "core/PlayerFiles.h"
#include "core/TimeManager.h"

void InProcessGame::SetUp() {
    previous = std::filesystem::current_path();
    std::filesystem::current_path(game.root() / "bin");
    windowState = WindowState{};
    init();
    clock = TimeManager::getInstance()->now;
    TimeManager::getInstance()->setClock([this] { return clock; });
}

void InProcessGame::TearDown() {
    shutdown();
    ManagerLifetime::allowCreation();
    windowState = WindowState{};
    std::filesystem::current_path(previous);
}

FrameCapture InProcessGame::screenshot(const std::string& name, const std::function<void()>& draw) {
    windowState.screenshotRequested = true;
    draw();
    const std::filesystem::path shot = PlayerFiles::dataDir() / "screenshots/screen0.tga";
    FrameCapture captured = FrameCapture::load(shot.string());
    std::filesystem::remove(shot);
    captured.save(name);
    return captured;
}
