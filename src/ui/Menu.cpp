#include "ui/Menu.h"

#include <GL/glew.h>

#include "audio/SoundManager.h"
#include "core/StateManager.h"
#include "platform/GlfwKeys.h"
#include "render/TextureLoader.h"
#include "ui/FontRenderer.h"
#include "ui/Ortho.h"

namespace {

Menu::ImageSize fit(Menu::ImageSize image, float fraction, Ortho::Size window) {
    float scale = fraction * static_cast<float>(window.height) / image.height;
    if (scale < 1.0f) {
        image = {image.width * scale, image.height * scale};
    }
    scale = static_cast<float>(window.width) / image.width;
    if (scale < 1.0f) {
        image = {image.width * scale, image.height * scale};
    }
    return image;
}

} // namespace

Menu::Menu() {
    TextureLoader* textures = TextureLoader::getInstance();
    for (const char* name : {kContinue,
                             kContinueHighlighted,
                             kNew,
                             kNewHighlighted,
                             kExit,
                             kExitHighlighted,
                             kLogo,
                             kRespawn,
                             kRespawnHighlighted,
                             kMainMenu,
                             kMainMenuHighlighted,
                             kLoading,
                             kComplete,
                             kCampaignComplete,
                             kLevels,
                             kLevelsHighlighted,
                             kNextLevel,
                             kNextLevelHighlighted,
                             kOptions,
                             kOptionsHighlighted}) {
        textures->addTexture(name, GL_REPEAT);
    }
    for (const char* name : {kReplays, kReplaysHighlighted}) {
        textures->addTexture(name, GL_REPEAT);
    }
    // Decoded now, so the first click does not wait for its file.
    SoundManager* sounds = SoundManager::getInstance();
    for (const char* sound : {kClickSound, kClick2Sound, kStartGameSound, kGameOverSound, kGameWinSound}) {
        sounds->getBuffer(sound);
    }
}

void Menu::playClick() {
    playSound(kClickSound);
}

void Menu::playClick2() {
    playSound(kClick2Sound);
}

Menu::Layout::Layout() {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

Menu::Layout::~Layout() {
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

Menu::ImageSize Menu::fittedSize(const std::string& texture, float fraction) {
    const TextureLoader::Texture* image = TextureLoader::getInstance()->getTexture(texture);
    if (!image || image->width <= 0 || image->height <= 0) {
        return {0.0f, 0.0f};
    }
    return fit({static_cast<float>(image->width), static_cast<float>(image->height)}, fraction,
               Ortho::windowSize());
}

void Menu::drawCentred(const std::string& texture, ImageSize size, float top, float alpha) {
    if (size.width <= 0.0f || !Ortho::bindTexture(texture)) {
        return;
    }
    const float left = static_cast<float>(Ortho::windowSize().width) / 2.0f - size.width / 2.0f;
    Ortho::drawTextured({left, top, left + size.width, top + size.height}, {0.0f, 0.0f, 1.0f, 1.0f}, alpha,
                        alpha);
}

void Menu::drawBackground() {
    const Ortho::Size window = Ortho::windowSize();
    Ortho::fill({0.0f, 0.0f, static_cast<float>(window.width), static_cast<float>(window.height)}, 0.0f, 0.0f,
                0.0f, 1.0f);
}

void Menu::playSound(const std::string& file) {
    SoundManager::getInstance()->playSound(file);
}

void Menu::changeState(int state) {
    StateManager::getInstance()->setState(state);
}

Menu::ListKey Menu::listKey(int key) {
    switch (key) {
    case 'W':
    case GlfwKeys::KEY_UP:
        return ListKey::Up;
    case 'S':
    case GlfwKeys::KEY_DOWN:
        return ListKey::Down;
    case 'A':
    case GlfwKeys::KEY_LEFT:
        return ListKey::Left;
    case 'D':
    case GlfwKeys::KEY_RIGHT:
        return ListKey::Right;
    case GlfwKeys::KEY_ENTER:
    case GlfwKeys::KEY_KP_ENTER:
        return ListKey::Choose;
    case GlfwKeys::KEY_ESC:
        return ListKey::Back;
    default:
        return ListKey::None;
    }
}

void Menu::drawHighlight(float from, float to, float top, float textSize) {
    const float width = static_cast<float>(Ortho::windowSize().width);
    Ortho::fill({from * width, top - 2.0f, to * width, top + textSize + 2.0f}, 0.9f, 0.55f, 0.1f, 0.45f);
}

void Menu::drawTextLines(const std::vector<std::string>& lines, float size, float top, float spacing) {
    const FontRenderer* font = FontRenderer::getInstance();
    const int width = Ortho::windowSize().width;
    for (const std::string& line : lines) {
        const int left = (width - font->getTextWidth(line, size)) / 2;
        font->drawText(line, size, static_cast<float>(left), top);
        top += spacing;
    }
}
