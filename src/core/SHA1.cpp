#include "core/SHA1.h"

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

// Rounds unrolled with a rolling 16-word schedule: configuration files are
// hashed at every start, and this keeps the hash near the speed of sha1sum.
#define SHA1_W(t)                                                                                            \
    (w[(t)&15] = rotateLeft(w[((t) + 13) & 15] ^ w[((t) + 8) & 15] ^ w[((t) + 2) & 15] ^ w[(t)&15], 1))
#define SHA1_ROUND(a, b, c, d, e, f, k, wt)                                                                  \
    e += rotateLeft(a, 5) + (f) + (k) + (wt);                                                                \
    b = rotateLeft(b, 30);
#define SHA1_F1(b, c, d) (d ^ (b & (c ^ d)))
#define SHA1_F2(b, c, d) (b ^ c ^ d)
#define SHA1_F3(b, c, d) ((b & c) | (d & (b | c)))
#define SHA1_FIVE(t, F, k, W)                                                                                \
    SHA1_ROUND(a, b, c, d, e, F(b, c, d), k, W(t));                                                          \
    SHA1_ROUND(e, a, b, c, d, F(a, b, c), k, W(t + 1));                                                      \
    SHA1_ROUND(d, e, a, b, c, F(e, a, b), k, W(t + 2));                                                      \
    SHA1_ROUND(c, d, e, a, b, F(d, e, a), k, W(t + 3));                                                      \
    SHA1_ROUND(b, c, d, e, a, F(c, d, e), k, W(t + 4));
#define SHA1_W0(t) w[t]

void SHA1::processMessageBlock(const std::uint8_t* block) {
    std::uint32_t w[16];
    for (int t = 0; t < 16; ++t) {
        w[t] = readBigEndian(block + 4 * t);
    }
    std::uint32_t a = hash[0], b = hash[1], c = hash[2], d = hash[3], e = hash[4];

    SHA1_FIVE(0, SHA1_F1, 0x5A827999, SHA1_W0)
    SHA1_FIVE(5, SHA1_F1, 0x5A827999, SHA1_W0)
    SHA1_FIVE(10, SHA1_F1, 0x5A827999, SHA1_W0)
    SHA1_ROUND(a, b, c, d, e, SHA1_F1(b, c, d), 0x5A827999, w[15]);
    SHA1_ROUND(e, a, b, c, d, SHA1_F1(a, b, c), 0x5A827999, SHA1_W(16));
    SHA1_ROUND(d, e, a, b, c, SHA1_F1(e, a, b), 0x5A827999, SHA1_W(17));
    SHA1_ROUND(c, d, e, a, b, SHA1_F1(d, e, a), 0x5A827999, SHA1_W(18));
    SHA1_ROUND(b, c, d, e, a, SHA1_F1(c, d, e), 0x5A827999, SHA1_W(19));
    SHA1_FIVE(20, SHA1_F2, 0x6ED9EBA1, SHA1_W)
    SHA1_FIVE(25, SHA1_F2, 0x6ED9EBA1, SHA1_W)
    SHA1_FIVE(30, SHA1_F2, 0x6ED9EBA1, SHA1_W)
    SHA1_FIVE(35, SHA1_F2, 0x6ED9EBA1, SHA1_W)
    SHA1_FIVE(40, SHA1_F3, 0x8F1BBCDC, SHA1_W)
    SHA1_FIVE(45, SHA1_F3, 0x8F1BBCDC, SHA1_W)
    SHA1_FIVE(50, SHA1_F3, 0x8F1BBCDC, SHA1_W)
    SHA1_FIVE(55, SHA1_F3, 0x8F1BBCDC, SHA1_W)
    SHA1_FIVE(60, SHA1_F2, 0xCA62C1D6, SHA1_W)
    SHA1_FIVE(65, SHA1_F2, 0xCA62C1D6, SHA1_W)
    SHA1_FIVE(70, SHA1_F2, 0xCA62C1D6, SHA1_W)
    SHA1_FIVE(75, SHA1_F2, 0xCA62C1D6, SHA1_W)

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
