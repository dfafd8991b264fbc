#include "ui/HUD.h"

#include <GL/glew.h>
#include <algorithm>
#include <cstdio>

#include "core/ConfigManager.h"
#include "core/Log.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "render/GlSavedState.h"
#include "render/TextureLoader.h"
#include "ui/Campaign.h"
#include "ui/FontRenderer.h"
#include "ui/LevelLink.h"
#include "ui/Ortho.h"

VORN_FILE_LOGGER("HUD")

namespace {

constexpr float kTextSize = 16.0f;
constexpr float kBarScale = 0.9f;
constexpr float kBand = 15.0f;
constexpr float kBarTop = -2.0f;
constexpr int kMessageBottom = 31;
constexpr int kMessageSpacing = 18;
constexpr int kMessageMargin = 15;
constexpr float kPausedSize = 32.0f;
// Where the bands of the bar images run, as shares of the bar's height: the energy
// band's middle and an icon's size beside it, then the turbo band's.
constexpr float kEnergyMiddle = 20.0f / 64.0f;
constexpr float kEnergyIconSize = 32.0f / 64.0f;
constexpr float kTurboMiddle = 49.0f / 64.0f;
constexpr float kTurboIconSize = 24.0f / 64.0f;
// The bar images leave this share of their width clear at the left; the icons sit in it.
constexpr float kBarMargin = 8.0f / 512.0f;

// The frame rate with two decimals, cut rather than rounded.
std::string frameRateText(float fps) {
    char printed[64];
    std::snprintf(printed, sizeof printed, "%f", fps);
    std::string text = std::string(printed).substr(0, 7);
    const std::size_t point = text.find('.');
    if (point != std::string::npos) {
        text.resize(std::min(text.size(), point + 3));
    }
    return text;
}

} // namespace

HUD::HUD()
    : helpTexture(ConfigManager::getInstance()->getMainConfig()->getString("Files:HelpTextureFile", "")) {
    TextureLoader* textures = TextureLoader::getInstance();
    if (helpTexture.empty()) {
        LOG_WARN("No Helptexture found, help will be disabled!");
    } else {
        textures->addTexture(helpTexture, GL_REPEAT);
    }
    for (const char* bar : {kEnergyDark, kTurboDark, kEnergy, kTurbo, kEnergyIcon, kTurboIcon}) {
        textures->addTexture(bar, GL_REPEAT);
    }
}

// At shutdown the time manager goes first; only a living one still holds our timers.
HUD::~HUD() {
    TimeManager* time = TimeManager::existingInstance();
    if (!time) {
        return;
    }
    for (const Message& message : messages) {
        time->removeTimer(message.timer.get());
    }
}

void HUD::showMessage(const std::string& text) {
    TimeManager* time = TimeManager::getInstance();
    auto timer = std::make_unique<Timer>();
    timer->callback = expireOldestMessage;
    timer->userData = this;
    timer->duration = kMessageDuration;
    time->addTimer(timer.get());
    timer->active = true;
    timer->dueTime = time->now + kMessageDuration;
    messages.push_back({text, std::move(timer)});
}

void HUD::expireOldestMessage(Timer*, void* hud) {
    auto& messages = static_cast<HUD*>(hud)->messages;
    if (messages.empty()) {
        return;
    }
    TimeManager::getInstance()->removeTimer(messages.front().timer.get());
    messages.pop_front();
}

void HUD::update(int steps) {
    if (controlsHint.isShowing()) {
        controlsHint.advance(steps, LevelLink::get().checkpointReached());
    }
}

void HUD::render() {
    const GlSavedState saved(GlSavedState::kOverlay, {GL_TEXTURE_2D});
    glEnable(GL_TEXTURE_2D);
    if (showFps) {
        renderFrameRate();
    }
    if (const auto gauges = LevelLink::get().mainCharGauges()) {
        renderBars(gauges->energy, gauges->turbo);
        renderClock();
        // The help shows every key; the hint would only show through it.
        if (controlsHint.isShowing() && !showHelp) {
            controlsHint.render();
        }
    }
    renderMessages();
    renderPaused();
    if (showHelp) {
        renderHelp();
    }
}

// Only the clock stopped by its key in play: the pause menu says so itself.
void HUD::renderPaused() {
    const TimeManager* time = TimeManager::existingInstance();
    const StateManager* states = StateManager::existingInstance();
    if (!time || !time->paused || !states || states->getState() != IN_GAME) {
        return;
    }
    const FontRenderer* font = FontRenderer::getInstance();
    const Ortho::Size window = Ortho::windowSize();
    const float width = static_cast<float>(font->getTextWidth(kPausedText, kPausedSize));
    const float left = static_cast<float>(window.width / 2) - width / 2.0f;
    const float top = static_cast<float>(window.height / 2) - kPausedSize / 2.0f;
    // On a dark band: the glowing ball sits right behind the middle of the view.
    Ortho::fill(
        {left - kPausedSize, top - kPausedSize / 4.0f, left + width + kPausedSize, top + kPausedSize * 1.25f},
        0.0f, 0.0f, 0.0f, 0.5f);
    font->drawText(kPausedText, kPausedSize, left, top);
}

// At the right edge just below the bars, which span most of a small window's width.
void HUD::renderClock() const {
    const std::string text = Campaign::formatTime(Campaign::getInstance()->clock());
    const FontRenderer* font = FontRenderer::getInstance();
    const Ortho::Size window = Ortho::windowSize();
    const float size = std::clamp(static_cast<float>(window.height) / 20.0f, 12.0f, kClockSize);
    const float width = static_cast<float>(font->getTextWidth(text, size));
    const float left = static_cast<float>(window.width) - width - size / 2.0f;
    const BarArea bars = barArea();
    const float top = bars.top + bars.height + size / 4.0f;
    Ortho::fill({left - size / 4.0f, top - size / 8.0f, left + width + size / 4.0f, top + size * 1.15f}, 0.0f,
                0.0f, 0.0f, 0.4f);
    font->drawText(text, size, left, top);
}

void HUD::renderFrameRate() const {
    FontRenderer::getInstance()->drawText(frameRateText(TimeManager::getInstance()->fps), kTextSize, 0.0f,
                                          0.0f);
}

HUD::BarArea HUD::barArea() const {
    const TextureLoader::Texture* energy = TextureLoader::getInstance()->getTexture(kEnergy);
    if (!energy) {
        return {0.0f, kBarTop, 0.0f, 0.0f};
    }
    const float width = kBarScale * static_cast<float>(energy->width);
    const float height = kBarScale * static_cast<float>(energy->height);
    const float left = static_cast<float>(Ortho::windowSize().width / 2) - width / 2.0f;
    return {left, kBarTop, width, height};
}

// A bar that is empty, full or filled less than a quarter of the band shows no band.
float HUD::bandWidth(float value, float width) {
    if (value == 0.0f || value == 1.0f || value < 3.75f / width) {
        return 0.0f;
    }
    return kBand;
}

void HUD::renderBars(float energy, float turbo) {
    const BarArea area = barArea();
    if (area.width <= 0.0f) {
        return;
    }
    const GlSavedState saved(GlSavedState::kOverlay, {GL_TEXTURE_2D});
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    renderBar(energy, kEnergy, kEnergyDark, area);
    renderBar(turbo, kTurbo, kTurboDark, area);
    renderIcon(kEnergyIcon, kEnergyMiddle, kEnergyIconSize, area);
    renderIcon(kTurboIcon, kTurboMiddle, kTurboIconSize, area);
    glPopMatrix();
}

// Left of its band, its right edge where the painted bar begins.
void HUD::renderIcon(const char* icon, float middle, float size, const BarArea& area) {
    if (!Ortho::bindTexture(icon)) {
        return;
    }
    const float side = size * area.height;
    const float right = area.left + kBarMargin * area.width;
    const float centre = area.top + middle * area.height;
    Ortho::drawImage({right - side, centre - side / 2.0f, right, centre + side / 2.0f});
}

// Lit up to the value, dark beyond, with a band where the dark image fades in over the lit one fading out.
void HUD::renderBar(float value, const char* lit, const char* dark, const BarArea& area) const {
    const float band = bandWidth(value, area.width);
    const float edge = area.left + value * area.width;
    const float bandU = band / (2.0f * area.width);
    const float top = area.top;
    const float bottom = area.top + area.height;
    if (Ortho::bindTexture(dark)) {
        Ortho::drawTextured({edge + band / 2, top, area.left + area.width, bottom}, {value + bandU, 0, 1, 1});
        Ortho::drawTextured({edge - band / 2, top, edge + band / 2, bottom},
                            {value - bandU, 0, value + bandU, 1}, 0.0f, 1.0f);
    }
    if (Ortho::bindTexture(lit)) {
        Ortho::drawTextured({area.left, top, edge - band / 2, bottom}, {0, 0, value - bandU, 1});
        Ortho::drawTextured({edge - band / 2, top, edge + band / 2, bottom},
                            {value - bandU, 0, value + bandU, 1}, 1.0f, 0.0f);
    }
}

// Right-aligned above the bottom edge; the oldest lowest, newer ones stacked above.
void HUD::renderMessages() const {
    const FontRenderer* font = FontRenderer::getInstance();
    const Ortho::Size window = Ortho::windowSize();
    int y = window.height - kMessageBottom;
    for (const Message& message : messages) {
        const int x = window.width - font->getTextWidth(message.text, kTextSize) - kMessageMargin;
        font->drawText(message.text, kTextSize, static_cast<float>(x), static_cast<float>(y));
        y -= kMessageSpacing;
    }
}

// The help image over a darkened window, shrunk to fit but never enlarged.
void HUD::renderHelp() const {
    if (helpTexture.empty()) {
        return;
    }
    const TextureLoader::Texture* help = TextureLoader::getInstance()->getTexture(helpTexture);
    if (!help) {
        return;
    }
    const Ortho::Size window = Ortho::windowSize();
    float width = static_cast<float>(help->width);
    float height = static_cast<float>(help->height);
    if (width > static_cast<float>(window.width)) {
        height *= static_cast<float>(window.width) / width;
        width = static_cast<float>(window.width);
    }
    if (height > static_cast<float>(window.height)) {
        width *= static_cast<float>(window.height) / height;
        height = static_cast<float>(window.height);
    }
    Ortho::fill({0, 0, static_cast<float>(window.width), static_cast<float>(window.height)}, 0, 0, 0, 0.4f);
    Ortho::bindTexture(helpTexture);
    const float left = static_cast<float>(window.width / 2) - width / 2.0f;
    const float top = static_cast<float>(window.height / 2) - height / 2.0f;
    Ortho::drawImage({left, top, left + width, top + height});
}
