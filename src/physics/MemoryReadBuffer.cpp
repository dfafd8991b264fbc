#include "physics/MemoryReadBuffer.h"

#include <cstring>

bool MemoryReadBuffer::readDword(std::uint32_t& value) {
    return readBuffer(&value, sizeof value);
}

bool MemoryReadBuffer::readFloat(float& value) {
    return readBuffer(&value, sizeof value);
}

bool MemoryReadBuffer::readBuffer(void* target, std::size_t size) {
    if (size > bytes.size() - offset) {
        return false;
    }
    std::memcpy(target, bytes.data() + offset, size);
    offset += size;
    return true;
}
