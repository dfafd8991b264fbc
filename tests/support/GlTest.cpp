#include "GlTest.h"

#include <GL/glew.h>

#include "app/ConfigManager.h"
#include "app/StateManager.h"
#include "app/SystemInfo.h"
#include "app/TimeManager.h"
#include "app/Window.h"
#include "platform/Glfw.h"
#include "render/Camera.h"
#include "render/TextureLoader.h"
#include "ui/HUD.h"

void GlTest::SetUp() {
    data = std::make_unique<TempDataRoot>();
    windowState = WindowState{};
    ASSERT_TRUE(Glfw::init()) << "no X display; run under xvfb-run";
    ASSERT_TRUE(openWindow());
    glewExperimental = GL_TRUE;
    ASSERT_EQ(glewInit(), static_cast<GLenum>(GLEW_OK));
    SystemInfo::getInstance();
}

bool GlTest::openWindow() {
    return Glfw::openWindow(kWidth, kHeight, false, false);
}

void GlTest::TearDown() {
    TextureLoader::destroy();
    HUD::destroy();
    Camera::destroy();
    TimeManager::destroy();
    StateManager::destroy();
    ConfigManager::destroy();
    Glfw::terminate();
    data.reset();
}
