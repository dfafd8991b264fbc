#include "physics/MemoryWriteBuffer.h"

void MemoryWriteBuffer::storeDword(std::uint32_t value) {
    storeBuffer(&value, sizeof value);
}

void MemoryWriteBuffer::storeFloat(float value) {
    storeBuffer(&value, sizeof value);
}

void MemoryWriteBuffer::storeBuffer(const void* bytes, std::size_t size) {
    const auto* first = static_cast<const std::uint8_t*>(bytes);
    data.insert(data.end(), first, first + size);
}
