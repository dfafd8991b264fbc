#pragma once

#include <cstddef>
#include <cstdint>

// Incremental SHA-1 (FIPS 180-1). `corrupted` is raised when the 64-bit bit
// count overflows or when input arrives after the result was taken.
class SHA1 {
public:
    SHA1();
    virtual ~SHA1() = default;

    void reset();
    void input(const std::uint8_t* data, std::size_t length);
    // Finishes the digest (once) and copies the five hash words; false when corrupted.
    bool result(std::uint32_t digest[5]);

    bool isCorrupted() const { return corrupted; }
    bool isComputed() const { return computed; }

private:
    void processMessageBlock(const std::uint8_t* block);
    void padMessage();

    std::uint32_t hash[5];
    std::uint32_t lengthLow;
    std::uint32_t lengthHigh;
    std::uint8_t messageBlock[64];
    std::size_t messageBlockIndex;
    bool computed;
    bool corrupted;
};
