#include "ui/OptionsMenu.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "platform/GlfwKeys.h"
#include "ui/FontRenderer.h"
#include "ui/MenuManager.h"
#include "ui/Ortho.h"

namespace {

constexpr float kTitleSize = 32.0f;
constexpr float kListTop = 0.2f;
constexpr float kNoticeSize = 16.0f;

const char* onOff(bool value) {
    return value ? "on" : "off";
}

std::string percent(float value) {
    return std::to_string(static_cast<int>(std::lround(value * 100.0f))) + "%";
}

// The next of `values` from the one nearest `now`, round the list.
template <typename T> T stepThrough(const std::vector<T>& values, T now, int direction) {
    std::size_t nearest = 0;
    for (std::size_t i = 1; i < values.size(); ++i) {
        if (std::abs(static_cast<double>(values[i] - now)) <
            std::abs(static_cast<double>(values[nearest] - now))) {
            nearest = i;
        }
    }
    const auto count = static_cast<long>(values.size());
    return values[static_cast<std::size_t>(((static_cast<long>(nearest) + direction) % count + count) %
                                           count)];
}

float stepVolume(float volume, int direction) {
    return std::clamp(std::round((volume + 0.1f * static_cast<float>(direction)) * 10.0f) / 10.0f, 0.0f,
                      1.0f);
}

std::string fireName(float detail) {
    return detail >= 0.99f ? "high" : detail >= 0.5f ? "medium" : "low";
}

const std::vector<float> kFireDetails = {0.35f, 0.6f, 1.0f};
const std::vector<float> kRenderScales = {0.5f, 0.65f, 0.75f, 0.8f, 1.0f};
const std::vector<Settings::Quality> kPresets = {Settings::Quality::Low, Settings::Quality::Medium,
                                                 Settings::Quality::High, Settings::Quality::Auto};

} // namespace

const char* OptionsMenu::title(Page page) {
    switch (page) {
    case Page::Video:
        return "Video";
    case Page::Sound:
        return "Sound";
    case Page::Controls:
        return "Controls";
    default:
        return "Options";
    }
}

void OptionsMenu::enter() {
    open(Page::Top);
}

void OptionsMenu::open(Page page) {
    current = page;
    selection = 0;
    capturedAction = -1;
    message.clear();
}

void OptionsMenu::back() {
    playClick2();
    if (current != Page::Top) {
        open(Page::Top);
    } else {
        MenuManager::getInstance()->closeOptions();
    }
}

void OptionsMenu::changed() {
    const Settings& settings = Settings::active();
    if (apply) {
        apply(settings);
    }
    settings.save(settingsFile());
}

OptionsMenu::Row OptionsMenu::backRow() {
    return {"Back", "", nullptr, [this] { back(); }};
}

std::vector<OptionsMenu::Row> OptionsMenu::rows() {
    switch (current) {
    case Page::Video:
        return videoRows();
    case Page::Sound:
        return soundRows();
    case Page::Controls:
        return controlsRows();
    default:
        return topRows();
    }
}

std::vector<OptionsMenu::Row> OptionsMenu::topRows() {
    std::vector<Row> list;
    for (Page page : {Page::Video, Page::Sound, Page::Controls}) {
        list.push_back({title(page), "", nullptr, [this, page] {
                            playClick2();
                            open(page);
                        }});
    }
    list.push_back(backRow());
    return list;
}

std::vector<OptionsMenu::Row> OptionsMenu::videoRows() {
    Settings& s = Settings::active();
    // A changed switch is a choice of the player's own, no longer a preset.
    auto custom = [&s] { s.quality = Settings::Quality::Custom; };
    std::vector<Row> list;
    list.push_back({"Window size", std::to_string(s.width) + "x" + std::to_string(s.height),
                    [this, &s](int d) {
                        std::vector<std::pair<int, int>> sizes =
                            windowSizes ? windowSizes(s.fullscreen) : std::vector<std::pair<int, int>>{};
                        if (sizes.empty()) {
                            return;
                        }
                        const auto at =
                            std::find(sizes.begin(), sizes.end(), std::make_pair(s.width, s.height));
                        const long count = static_cast<long>(sizes.size());
                        const long index = at == sizes.end() ? (d > 0 ? -1 : 0) : at - sizes.begin();
                        const auto& next =
                            sizes[static_cast<std::size_t>(((index + d) % count + count) % count)];
                        s.width = next.first;
                        s.height = next.second;
                    },
                    nullptr});
    list.push_back({"Fullscreen", onOff(s.fullscreen), [&s](int) { s.fullscreen = !s.fullscreen; }, nullptr});
    list.push_back({"Vsync", onOff(s.vsync), [&s](int) { s.vsync = !s.vsync; }, nullptr});
    list.push_back({"Quality", Settings::nameOf(s.quality),
                    [&s](int d) {
                        const Settings::Quality now =
                            s.quality == Settings::Quality::Custom ? Settings::Quality::High : s.quality;
                        const auto at = std::find(kPresets.begin(), kPresets.end(), now) - kPresets.begin();
                        const long count = static_cast<long>(kPresets.size());
                        s.choose(kPresets[static_cast<std::size_t>(((at + d) % count + count) % count)]);
                    },
                    nullptr});
    list.push_back({"Shadows", onOff(s.shadows),
                    [&s, custom](int) {
                        s.shadows = !s.shadows;
                        custom();
                    },
                    nullptr});
    list.push_back({"Per-pixel lighting", onOff(s.perPixel),
                    [&s, custom](int) {
                        s.perPixel = !s.perPixel;
                        custom();
                    },
                    nullptr});
    list.push_back({"Fire detail", fireName(s.fireDetail),
                    [&s, custom](int d) {
                        s.fireDetail = stepThrough(kFireDetails, s.fireDetail, d);
                        custom();
                    },
                    nullptr});
    list.push_back({"Render scale", percent(s.renderScale),
                    [&s, custom](int d) {
                        s.renderScale = stepThrough(kRenderScales, s.renderScale, d);
                        custom();
                    },
                    nullptr});
    list.push_back(backRow());
    return list;
}

std::vector<OptionsMenu::Row> OptionsMenu::soundRows() {
    Settings& s = Settings::active();
    std::vector<Row> list;
    list.push_back({"Master volume", percent(s.masterVolume),
                    [&s](int d) { s.masterVolume = stepVolume(s.masterVolume, d); }, nullptr});
    list.push_back({"Music volume", percent(s.musicVolume),
                    [&s](int d) { s.musicVolume = stepVolume(s.musicVolume, d); }, nullptr});
    list.push_back({"Effects volume", percent(s.effectsVolume),
                    [&s](int d) { s.effectsVolume = stepVolume(s.effectsVolume, d); }, nullptr});
    list.push_back(backRow());
    return list;
}

std::vector<OptionsMenu::Row> OptionsMenu::controlsRows() {
    Settings& s = Settings::active();
    std::vector<Row> list;
    std::ostringstream sensitivity;
    sensitivity.precision(1);
    sensitivity << std::fixed << s.mouseSensitivity;
    list.push_back({"Mouse sensitivity", sensitivity.str(),
                    [&s](int d) {
                        s.mouseSensitivity = std::clamp(
                            std::round((s.mouseSensitivity + 0.1f * static_cast<float>(d)) * 10.0f) / 10.0f,
                            0.1f, 3.0f);
                    },
                    nullptr});
    list.push_back(
        {"Invert vertical look", onOff(s.invertLook), [&s](int) { s.invertLook = !s.invertLook; }, nullptr});
    for (int action = 0; action < Bindings::kActionCount; ++action) {
        const auto which = static_cast<Bindings::Action>(action);
        const bool waiting = capturedAction == action;
        list.push_back({Bindings::nameOf(which),
                        waiting ? "press a key..." : Bindings::nameOfCode(s.bindings.codeOf(which)), nullptr,
                        [this, action] {
                            playClick2();
                            capturedAction = action;
                            message.clear();
                        }});
    }
    list.push_back({"Reset to defaults", "", nullptr, [this, &s] {
                        playClick2();
                        s.bindings.resetToDefaults();
                        s.mouseSensitivity = 1.0f;
                        s.invertLook = false;
                        message = "Controls are back to their defaults";
                        changed();
                    }});
    list.push_back(backRow());
    return list;
}

// The next key or mouse button pressed becomes the action's, unless another action has it.
void OptionsMenu::capture(int code) {
    const auto action = static_cast<Bindings::Action>(capturedAction);
    capturedAction = -1;
    Bindings& bindings = Settings::active().bindings;
    if (!Bindings::isValidCode(code)) {
        message = "That key cannot be used";
        playClick();
        return;
    }
    if (const std::optional<Bindings::Action> holder = bindings.bind(action, code)) {
        message = Bindings::nameOfCode(code) + " is already bound to " + Bindings::nameOf(*holder);
        playClick();
        return;
    }
    message = std::string(Bindings::nameOf(action)) + ": " + Bindings::nameOfCode(code);
    playClick2();
    changed();
}

void OptionsMenu::keyEvent(int key, int action) {
    if (action != GlfwKeys::PRESS) {
        return;
    }
    if (capturing()) {
        capture(key);
        return;
    }
    std::vector<Row> list = rows();
    const int count = static_cast<int>(list.size());
    selection = std::clamp(selection, 0, count - 1);
    Row& row = list[static_cast<std::size_t>(selection)];
    const ListKey meaning = listKey(key);
    switch (meaning) {
    case ListKey::Up:
        selection = (selection + count - 1) % count;
        playClick();
        break;
    case ListKey::Down:
        selection = (selection + 1) % count;
        playClick();
        break;
    case ListKey::Left:
    case ListKey::Right:
        if (row.change) {
            row.change(meaning == ListKey::Left ? -1 : 1);
            playClick();
            changed();
        }
        break;
    case ListKey::Choose:
        if (row.activate) {
            row.activate();
        } else if (row.change) {
            row.change(1);
            playClick();
            changed();
        }
        break;
    case ListKey::Back:
        back();
        break;
    default:
        break;
    }
}

// Labels run left of the middle, values right of it; the chosen row sits on a lit band.
void OptionsMenu::render() {
    const Layout layout;
    drawBackground();
    const Ortho::Size window = Ortho::windowSize();
    const float width = static_cast<float>(window.width);
    const float height = static_cast<float>(window.height);
    drawCentred(kLogo, fittedSize(kLogo, 0.12f), 0.0f);
    drawTextLines({title(current)}, kTitleSize, 0.12f * height, kTitleSize);
    const std::vector<Row> list = rows();
    const float spacing =
        std::min(kTextSize * 1.5f, (0.92f - kListTop) * height / static_cast<float>(list.size()));
    const float size = std::min(kTextSize, spacing * 0.8f);
    const FontRenderer* font = FontRenderer::getInstance();
    for (std::size_t i = 0; i < list.size(); ++i) {
        const float top = kListTop * height + spacing * static_cast<float>(i);
        if (static_cast<int>(i) == selection) {
            drawHighlight(0.1f, 0.9f, top, size);
        }
        if (list[i].value.empty()) {
            drawTextLines({list[i].label}, size, top, spacing);
            continue;
        }
        const float labelWidth = static_cast<float>(font->getTextWidth(list[i].label, size));
        font->drawText(list[i].label, size, 0.48f * width - labelWidth, top);
        font->drawText(list[i].value, size, 0.52f * width, top);
    }
    if (!message.empty()) {
        drawTextLines({message}, kNoticeSize, 0.94f * height, kNoticeSize);
    }
}
