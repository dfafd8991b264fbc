#include "core/TimeManager.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/StateManager.h"
#include "platform/Clock.h"

TimeManager::TimeManager(ClockFunction clockFunction) : clock(std::move(clockFunction)) {
    startTime = clock();
    now = startTime;
    lastFrameTime = startTime;
    lastSampleTime = startTime;
    physicsClock = startTime;
}

void TimeManager::setClock(ClockFunction clockFunction) {
    clock = std::move(clockFunction);
}

void TimeManager::update() {
    now = clock();
    frameDelta = now - lastFrameTime;
    sampleFramesPerSecond();
    countPhysicsSteps();
    lastFrameTime = now;
    fireDueTimers();
}

void TimeManager::sampleFramesPerSecond() {
    const float elapsed = static_cast<float>(now - lastSampleTime);
    if (elapsed >= 1000.0f) {
        fps = std::ceil(framesSinceSample / (elapsed / 1000.0f) * 100.0f) / 100.0f;
        framesSinceSample = 0;
        lastSampleTime = now;
        fpsUpdated = true;
    } else {
        fpsUpdated = false;
    }
    ++framesSinceSample;
}

// Menus and the pause never build up lag, so leaving them runs no burst of steps.
void TimeManager::countPhysicsSteps() {
    stepCount = 0;
    if (paused || StateManager::getInstance()->getState() != IN_GAME) {
        physicsClock = now;
        return;
    }
    while (static_cast<double>(now - physicsClock) >= kStepThreshold) {
        ++stepCount;
        physicsClock += kStepMilliseconds;
    }
}

// A repeating timer late by several periods fires once and skips the missed ones.
// Callbacks may remove (and delete) timers, so walk a snapshot and skip the gone.
void TimeManager::fireDueTimers() {
    const std::vector<Timer*> snapshot(timers.begin(), timers.end());
    for (Timer* timer : snapshot) {
        if (std::find(timers.begin(), timers.end(), timer) == timers.end()) {
            continue;
        }
        if (!timer->active || now <= timer->dueTime) {
            continue;
        }
        if (timer->repeating) {
            timer->dueTime = timer->period > 0 ? timer->dueTime + (now - timer->dueTime + timer->period - 1) /
                                                                      timer->period * timer->period
                                               : now;
        } else {
            timer->active = false;
        }
        if (timer->callback) {
            timer->callback(timer, timer->userData);
        }
    }
}

void TimeManager::addTimer(Timer* timer) {
    timers.push_back(timer);
}

void TimeManager::removeTimer(Timer* timer) {
    const auto found = std::find(timers.begin(), timers.end(), timer);
    if (found != timers.end()) {
        timers.erase(found);
    }
}
