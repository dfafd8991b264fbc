#include "app/SHA1.h"

#include <algorithm>
#include <cstring>

namespace {

inline std::uint32_t rotateLeft(std::uint32_t value, int bits) {
    return (value << bits) | (value >> (32 - bits));
}

inline std::uint32_t readBigEndian(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

} // namespace

SHA1::SHA1() {
    reset();
}

void SHA1::reset() {
    hash[0] = 0x67452301;
    hash[1] = 0xEFCDAB89;
    hash[2] = 0x98BADCFE;
    hash[3] = 0x10325476;
    hash[4] = 0xC3D2E1F0;
    lengthLow = 0;
    lengthHigh = 0;
    messageBlockIndex = 0;
    computed = false;
    corrupted = false;
}

void SHA1::input(const std::uint8_t* data, std::size_t length) {
    if (length == 0) {
        return;
    }
    if (computed || corrupted) {
        corrupted = true;
        return;
    }

    const std::uint64_t bits = std::uint64_t(length) * 8;
    const std::uint64_t total = (std::uint64_t(lengthHigh) << 32 | lengthLow) + bits;
    if (total < bits || (length >> 61) != 0) {
        corrupted = true;
        return;
    }
    lengthLow = std::uint32_t(total);
    lengthHigh = std::uint32_t(total >> 32);

    if (messageBlockIndex > 0) {
        const std::size_t take = std::min<std::size_t>(64 - messageBlockIndex, length);
        std::memcpy(messageBlock + messageBlockIndex, data, take);
        messageBlockIndex += take;
        data += take;
        length -= take;
        if (messageBlockIndex < 64) {
            return;
        }
        processMessageBlock(messageBlock);
        messageBlockIndex = 0;
    }
    // Whole blocks straight from the caller's buffer.
    for (; length >= 64; data += 64, length -= 64) {
        processMessageBlock(data);
    }
    std::memcpy(messageBlock, data, length);
    messageBlockIndex = length;
}

bool SHA1::result(std::uint32_t digest[5]) {
    if (corrupted) {
        return false;
    }
    if (!computed) {
        padMessage();
        computed = true;
    }
    std::memcpy(digest, hash, sizeof hash);
    return true;
}

void SHA1::processMessageBlock(const std::uint8_t* block) {
    std::uint32_t w[80];
    for (int t = 0; t < 16; ++t) {
        w[t] = readBigEndian(block + 4 * t);
    }
    for (int t = 16; t < 80; ++t) {
        w[t] = rotateLeft(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);
    }

    std::uint32_t a = hash[0], b = hash[1], c = hash[2], d = hash[3], e = hash[4];
    const auto round = [&](std::uint32_t f, std::uint32_t k, std::uint32_t wt) {
        const std::uint32_t temp = rotateLeft(a, 5) + f + e + k + wt;
        e = d;
        d = c;
        c = rotateLeft(b, 30);
        b = a;
        a = temp;
    };
    for (int t = 0; t < 20; ++t) {
        round((b & c) | (~b & d), 0x5A827999, w[t]);
    }
    for (int t = 20; t < 40; ++t) {
        round(b ^ c ^ d, 0x6ED9EBA1, w[t]);
    }
    for (int t = 40; t < 60; ++t) {
        round((b & c) | (b & d) | (c & d), 0x8F1BBCDC, w[t]);
    }
    for (int t = 60; t < 80; ++t) {
        round(b ^ c ^ d, 0xCA62C1D6, w[t]);
    }

    hash[0] += a;
    hash[1] += b;
    hash[2] += c;
    hash[3] += d;
    hash[4] += e;
}

void SHA1::padMessage() {
    messageBlock[messageBlockIndex++] = 0x80;
    if (messageBlockIndex > 56) {
        std::memset(messageBlock + messageBlockIndex, 0, 64 - messageBlockIndex);
        processMessageBlock(messageBlock);
        messageBlockIndex = 0;
    }
    std::memset(messageBlock + messageBlockIndex, 0, 56 - messageBlockIndex);
    for (int i = 0; i < 4; ++i) {
        messageBlock[56 + i] = std::uint8_t(lengthHigh >> (24 - 8 * i));
        messageBlock[60 + i] = std::uint8_t(lengthLow >> (24 - 8 * i));
    }
    processMessageBlock(messageBlock);
    messageBlockIndex = 0;
}
