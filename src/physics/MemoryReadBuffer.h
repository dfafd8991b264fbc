#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Reads back the bytes of a MemoryWriteBuffer. A read past the end fails and
// leaves the target untouched.
class MemoryReadBuffer {
public:
    explicit MemoryReadBuffer(std::span<const std::uint8_t> bytes) : bytes(bytes) {}

    bool readDword(std::uint32_t& value);
    bool readFloat(float& value);
    bool readBuffer(void* target, std::size_t size);
    std::size_t remaining() const { return bytes.size() - offset; }

private:
    std::span<const std::uint8_t> bytes;
    std::size_t offset = 0;
};
