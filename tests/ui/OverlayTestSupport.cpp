#include "OverlayTestSupport.h"

#include <GL/glew.h>
#include <filesystem>

#include "core/TimeManager.h"
#include "app/Window.h"
#include "render/TextureLoader.h"
#include "ui/Ortho.h"

namespace fs = std::filesystem;

bool OverlayTest::openWindow() {
    for (const char* content : {"textures/fonts", "textures/hud", "textures/MainMenu", "textures/help.png"}) {
        copyFromGame(content);
    }
    const std::string help = helpConfigured ? "HelpTextureFile = ../textures/help.png\n" : "";
    data->write("Vorn.ini", "[window]\nwidth = " + std::to_string(windowWidth) + "\nheight = " +
                                std::to_string(windowHeight) + "\nvsync = false\n[Files]\n" + help);
    return initGLFW();
}

void OverlayTest::SetUp() {
    GlTest::SetUp();
    if (HasFatalFailure()) {
        return;
    }
    initOpenGL();
    TimeManager::getInstance()->setClock([this] { return clock; });
    TimeManager::getInstance()->update();
}

void OverlayTest::copyFromGame(const std::string& relative) const {
    const fs::path target = data->root() / relative;
    fs::create_directories(target.parent_path());
    fs::copy(fs::path(VORN_GAME_DIR) / relative, target, fs::copy_options::recursive);
}

void OverlayTest::advanceClock(int milliseconds) {
    clock += milliseconds;
    TimeManager::getInstance()->update();
}

void OverlayTest::prepareOverlay() {
    TextureLoader::getInstance()->uploadTextures(true);
    glDisable(GL_LIGHTING);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, windowWidth, windowHeight, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

FrameCapture OverlayTest::drawOverlay() {
    TextureLoader::getInstance()->uploadTextures(true);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    Ortho::getInstance()->render();
    return FrameCapture::take(windowWidth, windowHeight);
}
