#include "core/GameVersion.h"

const char* gameVersion() {
    return VORN_VERSION;
}
