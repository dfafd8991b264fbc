#include "render/ImageFileCheck.h"

#include <IL/il.h>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

std::uint64_t little16(const unsigned char* bytes) {
    return bytes[0] | bytes[1] << 8;
}

std::uint64_t little32(const unsigned char* bytes) {
    return little16(bytes) | little16(bytes + 2) << 16;
}

std::uint64_t big16(const unsigned char* bytes) {
    return bytes[0] << 8 | bytes[1];
}

std::uint64_t big32(const unsigned char* bytes) {
    return big16(bytes) << 16 | big16(bytes + 2);
}

bool sides(std::uint64_t width, std::uint64_t height) {
    return width >= 1 && height >= 1 && width <= ImageFileCheck::kMaxSide &&
           height <= ImageFileCheck::kMaxSide;
}

// The bytes of one DDS level; 0 for a pixel format the reader is not trusted with.
std::uint64_t ddsLevelSize(const unsigned char* header, std::uint64_t width, std::uint64_t height) {
    constexpr std::uint64_t kFourCC = 0x4;
    if (little32(header + 80) & kFourCC) {
        const auto is = [&](const char* code) { return std::memcmp(header + 84, code, 4) == 0; };
        const std::uint64_t blocks = ((width + 3) / 4) * ((height + 3) / 4);
        if (is("DXT1")) {
            return blocks * 8;
        }
        return is("DXT2") || is("DXT3") || is("DXT4") || is("DXT5") ? blocks * 16 : 0;
    }
    const std::uint64_t bits = little32(header + 88);
    return bits == 8 || bits == 16 || bits == 24 || bits == 32 ? width * height * bits / 8 : 0;
}

// All levels of a DDS; more levels than halvings to 1 x 1 make it too large for any file.
std::uint64_t ddsChainSize(const unsigned char* header, std::uint64_t width, std::uint64_t height) {
    constexpr std::uint64_t kMipmapCount = 0x20000;
    const std::uint64_t levels =
        (little32(header + 8) & kMipmapCount) ? std::max<std::uint64_t>(little32(header + 28), 1) : 1;
    std::uint64_t total = 0;
    for (std::uint64_t level = 0; level < levels; ++level) {
        total += ddsLevelSize(header, width, height);
        if (width == 1 && height == 1) {
            return level + 1 == levels ? total : std::numeric_limits<std::uint64_t>::max();
        }
        width = std::max<std::uint64_t>(width / 2, 1);
        height = std::max<std::uint64_t>(height / 2, 1);
    }
    return total;
}

} // namespace

bool ImageFileCheck::acceptable(unsigned type, const unsigned char* data, std::size_t size) {
    switch (type) {
    case IL_PNG:
        return png(data, size);
    case IL_DDS:
        return dds(data, size);
    case IL_TGA:
        return tga(data, size);
    case IL_BMP:
        return bmp(data, size);
    case IL_JPG:
        return jpg(data, size);
    default:
        return false;
    }
}

// Every chunk up to the closing one lies inside the data (the reader would go on reading
// for ever past the end), the header chunk first.
bool ImageFileCheck::png(const unsigned char* data, std::size_t size) {
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    constexpr std::size_t kChunkFrame = 12; // length, type and checksum around the chunk data
    if (size < sizeof signature + kChunkFrame + 8 || std::memcmp(data, signature, sizeof signature) != 0 ||
        std::memcmp(data + 12, "IHDR", 4) != 0 || !sides(big32(data + 16), big32(data + 20))) {
        return false;
    }
    for (std::size_t offset = sizeof signature; size - offset >= kChunkFrame;) {
        const std::uint64_t length = big32(data + offset);
        if (length > size - offset - kChunkFrame) {
            return false;
        }
        if (std::memcmp(data + offset + 4, "IEND", 4) == 0) {
            return true;
        }
        offset += kChunkFrame + length;
    }
    return false;
}

// A plain 2D texture (mipmaps allowed) in DXT1 to DXT5 with its size stated, or in 8 to 32
// bits per pixel, whose levels lie inside the file and within the room the header states.
bool ImageFileCheck::dds(const unsigned char* data, std::size_t size) {
    constexpr std::size_t kHeaderSize = 128;
    constexpr std::uint64_t kLinearSize = 0x80000;
    constexpr std::uint64_t kDepth = 0x800000;
    constexpr std::uint64_t kFourCC = 0x4;
    if (size < kHeaderSize || std::memcmp(data, "DDS ", 4) != 0) {
        return false;
    }
    const std::uint64_t flags = little32(data + 8);
    if (little32(data + 4) != 124 || little32(data + 76) != 32 || little32(data + 112) != 0 ||
        (flags & kDepth)) {
        return false; // another header layout, a cube map or a volume
    }
    if ((little32(data + 80) & kFourCC) && !(flags & kLinearSize)) {
        return false; // the reader would read blocks by one size and keep them by another
    }
    const std::uint64_t width = little32(data + 16);
    const std::uint64_t height = little32(data + 12);
    if (!sides(width, height)) {
        return false;
    }
    const std::uint64_t first = ddsLevelSize(data, width, height);
    const std::uint64_t stated = (flags & kLinearSize) ? little32(data + 20) : first;
    const std::uint64_t room = size - kHeaderSize;
    return first != 0 && stated >= first && stated <= room && ddsChainSize(data, width, height) <= room;
}

// The pixels fit the file: all of them when stored plain, one run packet of at most 128
// pixels per pixel and packet byte when run-length encoded.
bool ImageFileCheck::tga(const unsigned char* data, std::size_t size) {
    constexpr std::size_t kHeaderSize = 18;
    if (size < kHeaderSize) {
        return false;
    }
    const unsigned imageType = data[2];
    const bool plain = imageType == 1 || imageType == 2 || imageType == 3;
    const bool runLength = imageType == 9 || imageType == 10 || imageType == 11;
    const std::uint64_t width = little16(data + 12);
    const std::uint64_t height = little16(data + 14);
    const std::uint64_t bytesPerPixel = (data[16] + 7u) / 8u;
    if (!(plain || runLength) || !sides(width, height) || bytesPerPixel < 1 || bytesPerPixel > 4) {
        return false;
    }
    const std::uint64_t palette = data[1] ? little16(data + 5) * ((data[7] + 7u) / 8u) : 0;
    const std::uint64_t pixelsStart = kHeaderSize + data[0] + palette;
    if (pixelsStart > size) {
        return false;
    }
    const std::uint64_t pixels = width * height;
    const std::uint64_t least = plain ? pixels * bytesPerPixel : (pixels + 127) / 128 * (1 + bytesPerPixel);
    return least <= size - pixelsStart;
}

// The sides are checked, and uncompressed rows must lie inside the file.
bool ImageFileCheck::bmp(const unsigned char* data, std::size_t size) {
    constexpr std::size_t kFileHeader = 14;
    if (size < kFileHeader + 12 || data[0] != 'B' || data[1] != 'M') {
        return false;
    }
    const std::uint64_t infoSize = little32(data + kFileHeader);
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    std::uint64_t bits = 0;
    std::uint64_t compression = 0;
    if (infoSize == 12) {
        width = little16(data + 18);
        height = little16(data + 20);
        bits = little16(data + 24);
    } else if (infoSize >= 40 && size >= kFileHeader + 40) {
        const auto side = [](std::uint64_t value) {
            const auto number = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
            return static_cast<std::uint64_t>(number < 0 ? -static_cast<std::int64_t>(number) : number);
        };
        width = side(little32(data + 18));
        height = side(little32(data + 22)); // rows may run downwards
        bits = little16(data + 28);
        compression = little32(data + 30);
    } else {
        return false;
    }
    if (!sides(width, height) ||
        !(bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32)) {
        return false;
    }
    const std::uint64_t pixelsStart = little32(data + 10);
    if (pixelsStart > size) {
        return false;
    }
    constexpr std::uint64_t kBitFields = 3;
    if (compression != 0 && compression != kBitFields) {
        return compression == 1 || compression == 2; // run-length encoded: only the sides are known
    }
    const std::uint64_t rowBytes = (width * bits + 31) / 32 * 4;
    return rowBytes * height <= size - pixelsStart;
}

// The frame header's sides; the decoder itself stops at the end of the data.
bool ImageFileCheck::jpg(const unsigned char* data, std::size_t size) {
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) {
        return false;
    }
    for (std::size_t offset = 2; offset + 4 <= size;) {
        if (data[offset] != 0xFF) {
            return false;
        }
        if (data[offset + 1] == 0xFF) {
            ++offset; // fill byte
            continue;
        }
        const unsigned marker = data[offset + 1];
        const std::size_t length = big16(data + offset + 2);
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            return offset + 9 <= size && sides(big16(data + offset + 7), big16(data + offset + 5));
        }
        if (length < 2) {
            return false;
        }
        offset += 2 + length;
    }
    return false;
}
