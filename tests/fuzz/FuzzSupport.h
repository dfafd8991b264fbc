#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Helpers shared by the fuzz targets in targets/. Each target is one file that
// defines LLVMFuzzerTestOneInput (and LLVMFuzzerInitialize when it needs set-up)
// and feeds the bytes through the code the game runs on that kind of file.
namespace Fuzz {

// Loggers off: the loaders log every input they reject, and logging would cost more than parsing.
void quietLogs();

// Makes a fresh data root in scratch space (memory-backed where possible) and
// changes into its bin/ folder, so the game's "../" paths land in it.
void enterScratchDataRoot();

void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size);

inline std::string_view text(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// A target whose library leaks on damaged files (which we cannot mend) names the
// library function in its own __lsan_default_suppressions(); the leak reports then
// need the whole allocation stack, not the first frames only.
#define VORN_FUZZ_FULL_ALLOCATION_STACKS                                                                     \
    extern "C" const char* __asan_default_options() {                                                        \
        return "fast_unwind_on_malloc=0";                                                                    \
    }

// Ends the run when the buffer is shorter than claimed.
void touch(const void* data, std::size_t size);

} // namespace Fuzz
