#include "ui/Ortho.h"

#include <GL/glew.h>
#include <algorithm>

#include "core/StateManager.h"
#include "platform/Glfw.h"
#include "render/GlSavedState.h"
#include "ui/HUD.h"
#include "ui/Menu.h"
#include "ui/MenuManager.h"

namespace {

bool showsHud(int state) {
    return state == IN_GAME || state == PAUSED || state == LEVEL_COMPLETE || state == GAME_OVER;
}

} // namespace

// The camera's view is still loaded after the scene: the overlay draws in window
// pixels under an identity view whatever the camera does, and over the scene's depths.
void Ortho::render() {
    const Size size = windowSize();
    const GlSavedState saved(GlSavedState::kOverlay, {GL_LIGHTING, GL_TEXTURE_2D, GL_DEPTH_TEST});
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, size.width, size.height, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    if (showsHud(StateManager::getInstance()->getState())) {
        HUD::getInstance()->render();
    }
    const MenuManager* menus = MenuManager::existingInstance();
    if (menus && menus->getCurrentMenu()) {
        menus->getCurrentMenu()->render();
    }

    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
}

Ortho::Size Ortho::windowSize() {
    Size size{0, 0};
    Glfw::getWindowSize(size.width, size.height);
    return {std::max(size.width, 1), std::max(size.height, 1)};
}

const TextureLoader::Texture* Ortho::bindTexture(const std::string& name) {
    const TextureLoader::Texture* texture = TextureLoader::getInstance()->getTexture(name);
    if (texture) {
        glBindTexture(GL_TEXTURE_2D, *texture->glId);
    }
    return texture;
}

void Ortho::fill(const Rect& area, float red, float green, float blue, float alpha) {
    glDisable(GL_TEXTURE_2D);
    glColor4f(red, green, blue, alpha);
    glBegin(GL_QUADS);
    glVertex2f(area.left, area.top);
    glVertex2f(area.left, area.bottom);
    glVertex2f(area.right, area.bottom);
    glVertex2f(area.right, area.top);
    glEnd();
}

void Ortho::drawTextured(const Rect& area, const Rect& texture, float leftAlpha, float rightAlpha) {
    glEnable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    glColor4f(1.0f, 1.0f, 1.0f, leftAlpha);
    glTexCoord2f(texture.left, texture.top);
    glVertex2f(area.left, area.top);
    glTexCoord2f(texture.left, texture.bottom);
    glVertex2f(area.left, area.bottom);
    glColor4f(1.0f, 1.0f, 1.0f, rightAlpha);
    glTexCoord2f(texture.right, texture.bottom);
    glVertex2f(area.right, area.bottom);
    glTexCoord2f(texture.right, texture.top);
    glVertex2f(area.right, area.top);
    glEnd();
}

void Ortho::drawImage(const Rect& area) {
    drawTextured(area, {0.0f, 0.0f, 1.0f, 1.0f});
}
