#include "BenchWindow.h"

#include <GL/glew.h>

#include "render/SystemInfo.h"
#include "platform/Glfw.h"
#include "render/LightManager.h"
#include "render/ShaderManager.h"

BenchWindow::BenchWindow(int width, int height) {
    if (!Glfw::init() || !Glfw::openWindow(width, height, false, false)) {
        return;
    }
    glewExperimental = GL_TRUE;
    glewInit();
    SystemInfo::getInstance();
    open = true;
}

BenchWindow::~BenchWindow() {
    ShaderManager::destroy();
    LightManager::destroy();
    Glfw::terminate();
}
