#include "ui/LevelLink.h"

#include "ui/SceneLevelLink.h"

namespace {

LevelLink* replacement = nullptr;

} // namespace

LevelLink& LevelLink::get() {
    static SceneLevelLink sceneLink;
    return replacement ? *replacement : sceneLink;
}

void LevelLink::use(LevelLink* link) {
    replacement = link;
}
