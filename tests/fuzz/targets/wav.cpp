// WAV files through the sound manager's decoding. ALUT decodes only while an
// audio context is current, so OpenAL Soft's null backend provides one: no sound device.
#include <AL/alut.h>
#include <cstdlib>

#include "FuzzSupport.h"
#include "audio/SoundManager.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Fuzz::quietLogs();
    ::setenv("ALSOFT_DRIVERS", "null", 1);
    ::setenv("ALSOFT_LOGLEVEL", "0", 1);
    if (alutInit(nullptr, nullptr) != AL_TRUE) {
        std::abort();
    }
    std::atexit([] { alutExit(); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto sound = SoundManager::decodeSound("fuzz.wav", data, size);
    if (sound) {
        Fuzz::touch(sound->samples.data(), sound->samples.size());
    }
    return 0;
}
