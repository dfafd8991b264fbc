// OGG files through the sound manager's decoding; no audio device is needed.
#include "FuzzSupport.h"
#include "audio/SoundManager.h"

// The Ogg file library keeps a few bytes when opening a damaged stream fails.
VORN_FUZZ_FULL_ALLOCATION_STACKS
extern "C" const char* __lsan_default_suppressions() {
    return "leak:ov_open_callbacks\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Fuzz::quietLogs();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto sound = SoundManager::decodeSound("fuzz.ogg", data, size);
    if (sound) {
        Fuzz::touch(sound->samples.data(), sound->samples.size());
    }
    return 0;
}
