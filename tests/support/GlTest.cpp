#include "GlTest.h"

#include <GL/glew.h>
#include <chrono>
#include <thread>

#include "app/StateEffects.h"
#include "app/Window.h"
#include "audio/SoundManager.h"
#include "core/ConfigManager.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "game/Camera.h"
#include "platform/Glfw.h"
#include "render/SystemInfo.h"
#include "render/TextureLoader.h"
#include "ui/Campaign.h"
#include "ui/FontManager.h"
#include "ui/FontRenderer.h"
#include "ui/HUD.h"
#include "ui/MenuManager.h"
#include "ui/Ortho.h"

namespace {

// A virtual X server started without -noreset refuses connections for a moment
// whenever its last client has left, which happens between tests.
bool initWindowLibrary() {
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (Glfw::init()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

} // namespace

void GlTest::SetUp() {
    data = std::make_unique<TempDataRoot>();
    windowState = WindowState{};
    ASSERT_TRUE(initWindowLibrary()) << Glfw::lastError();
    ASSERT_TRUE(openWindow());
    glewExperimental = GL_TRUE;
    ASSERT_EQ(glewInit(), static_cast<GLenum>(GLEW_OK));
    SystemInfo::getInstance();
    StateEffects::install(*StateManager::getInstance());
}

bool GlTest::openWindow() {
    return Glfw::openWindow(kWidth, kHeight, false, false);
}

void GlTest::TearDown() {
    MenuManager::destroy();
    Campaign::destroy();
    FontRenderer::destroy();
    FontManager::destroy();
    Ortho::destroy();
    TextureLoader::destroy();
    HUD::destroy();
    SoundManager::destroy();
    Camera::destroy();
    TimeManager::destroy();
    StateManager::destroy();
    ConfigManager::destroy();
    Glfw::terminate();
    data.reset();
}
