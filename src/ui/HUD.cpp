#include "ui/HUD.h"

#include "app/TimeManager.h"

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
