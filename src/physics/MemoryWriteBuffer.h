#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A growable byte stream the cooker writes meshes into.
class MemoryWriteBuffer {
public:
    void storeDword(std::uint32_t value);
    void storeFloat(float value);
    void storeBuffer(const void* data, std::size_t size);

    const std::vector<std::uint8_t>& getData() const { return data; }

private:
    std::vector<std::uint8_t> data;
};
