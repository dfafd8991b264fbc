#include "ScenePassOptions.h"

#include <string>

#include "core/ConfigManager.h"
#include "render/SystemInfo.h"

bool ScenePassOptions::apply(benchmark::State& state) {
    const bool geometry = state.range(1) != 0;
    if (geometry && !SystemInfo::getInstance()->geometryShader) {
        state.SkipWithError("no geometry shaders on this driver");
        return false;
    }
    Config* options = ConfigManager::getInstance()->getMainConfig();
    options->shadows = state.range(0) == SHADOWED;
    options->geometryShader = geometry;
    options->zPass = state.range(2) != 0;
    options->scissorTest = state.range(3) != 0;
    if (state.range(0) == PLAIN) {
        state.SetLabel("plain");
    } else {
        state.SetLabel(std::string(geometry ? "GPU" : "CPU") + " volumes, " +
                       (options->zPass ? "z-pass" : "z-fail") + (options->scissorTest ? ", scissor" : ""));
    }
    return true;
}
