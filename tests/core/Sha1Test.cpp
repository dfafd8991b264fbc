#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "TempDataRoot.h"
#include "core/SHA1.h"
#include "core/Util.h"

namespace {

std::string hexDigest(SHA1& sha) {
    std::uint32_t digest[5];
    if (!sha.result(digest)) {
        return "corrupted";
    }
    char text[41];
    std::snprintf(text, sizeof text, "%08X%08X%08X%08X%08X", digest[0], digest[1], digest[2], digest[3],
                  digest[4]);
    return text;
}

std::string digestOf(const std::string& message) {
    SHA1 sha;
    sha.input(reinterpret_cast<const std::uint8_t*>(message.data()), message.size());
    return hexDigest(sha);
}

} // namespace

TEST(Sha1, FipsTestVectors) {
    EXPECT_EQ(digestOf("abc"), "A9993E364706816ABA3E25717850C26C9CD0D89D");
    EXPECT_EQ(digestOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "84983E441C3BD26EBAAE4AA1F95129E5E54670F1");
    EXPECT_EQ(digestOf(""), "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
}

// Lengths around the padding edge: up to 55 bytes the length fits into the last
// block, from 56 on the padding takes a block of its own.
TEST(Sha1, PaddingEdgeVectors) {
    const std::pair<std::size_t, const char*> vectors[] = {
        {55, "C1C8BBDC22796E28C0E15163D20899B65621D65A"},  {56, "C2DB330F6083854C99D4B5BFB6E8F29F201BE699"},
        {63, "03F09F5B158A7A8CDAD920BDDC29B81C18A551F5"},  {64, "0098BA824B5C16427BD7A1122A5A442A25EC644D"},
        {119, "EE971065AAA017E0632A8CA6C77BB3BF8B1DFC56"}, {183, "021FEDBD6B884E3CDD89D7477FFE852155C37456"},
    };
    for (const auto& [length, digest] : vectors) {
        EXPECT_EQ(digestOf(std::string(length, 'a')), digest) << length << " bytes";
        SHA1 sha;
        for (std::size_t i = 0; i < length; ++i) {
            const std::uint8_t byte = 'a';
            sha.input(&byte, 1);
        }
        EXPECT_EQ(hexDigest(sha), digest) << length << " bytes fed one by one";
    }
}

TEST(Sha1, MillionAsInUnevenPieces) {
    SHA1 sha;
    const std::string piece(997, 'a');
    std::size_t fed = 0;
    while (fed < 1000000) {
        const std::size_t take = std::min<std::size_t>(piece.size(), 1000000 - fed);
        sha.input(reinterpret_cast<const std::uint8_t*>(piece.data()), take);
        fed += take;
    }
    EXPECT_EQ(hexDigest(sha), "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F");
}

TEST(Sha1, InputAfterResultCorrupts) {
    SHA1 sha;
    std::uint32_t digest[5];
    ASSERT_TRUE(sha.result(digest));
    const std::uint8_t byte = 'x';
    sha.input(&byte, 1);
    EXPECT_TRUE(sha.isCorrupted());
    EXPECT_FALSE(sha.result(digest));
    sha.reset();
    EXPECT_EQ(hexDigest(sha), "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
}

class CalcHash : public ::testing::Test {
protected:
    TempDataRoot data;
};

TEST_F(CalcHash, WithoutSaltIsPlainSha1) {
    data.write("abc.txt", "abc");
    EXPECT_EQ(Util::calcHash(nullptr, "../abc.txt"), "A9993E364706816ABA3E25717850C26C9CD0D89D");
    EXPECT_EQ(Util::calcHash("", "../abc.txt"), "A9993E364706816ABA3E25717850C26C9CD0D89D");
}

TEST_F(CalcHash, SaltIsOredByteForByteAndRepeats) {
    // Salt "\x01\x02": bytes 0x40 0x40 0x40 become 0x41 0x42 0x41 = "ABA".
    data.write("plain.txt", std::string(3, '\x40'));
    data.write("salted.txt", "ABA");
    EXPECT_EQ(Util::calcHash("\x01\x02", "../plain.txt"), Util::calcHash(nullptr, "../salted.txt"));
}

TEST_F(CalcHash, BitsAlreadySetInTheSaltDoNotChangeTheHash) {
    // Across block boundaries too: the file is longer than one read buffer.
    const std::string salt = Util::kConfigSalt;
    std::string a(200000, '\0'), b(200000, '\0');
    for (std::size_t i = 0; i < a.size(); ++i) {
        a[i] = static_cast<char>(i * 7);
        b[i] = static_cast<char>(a[i] | salt[i % salt.size()]);
    }
    data.write("a.bin", a);
    data.write("b.bin", b);
    EXPECT_EQ(Util::calcHash(Util::kConfigSalt, "../a.bin"), Util::calcHash(Util::kConfigSalt, "../b.bin"));
    EXPECT_NE(Util::calcHash(nullptr, "../a.bin"), Util::calcHash(nullptr, "../b.bin"));

    std::string expected = b;
    SHA1 sha;
    sha.input(reinterpret_cast<const std::uint8_t*>(expected.data()), expected.size());
    EXPECT_EQ(Util::calcHash(Util::kConfigSalt, "../a.bin"), hexDigest(sha));
}

TEST_F(CalcHash, EmptyFileGivesEmptyMessageDigestWhateverTheSalt) {
    data.write("empty.txt", "");
    EXPECT_EQ(Util::calcHash(Util::kConfigSalt, "../empty.txt"), "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
}

TEST_F(CalcHash, UnreadableFileGivesEmptyText) {
    EXPECT_EQ(Util::calcHash(Util::kConfigSalt, "../missing.ini"), "");
}
