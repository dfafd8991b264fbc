#pragma once

#include <cstddef>

// Looks at an image file's header before the image library reads it. The library's
// readers trust their headers: they make room for any size a header states (without
// checking that they got it), read on past the end of their input and decompress as
// much as width and height call for. A file goes to them only when it is of a type
// checked here, its sides are at most kMaxSide pixels and its pixels can be in it.
class ImageFileCheck {
public:
    // `type` is the image library's type for the file; false refuses it.
    static bool acceptable(unsigned type, const unsigned char* data, std::size_t size);

    static constexpr unsigned kMaxSide = 16384;

private:
    static bool png(const unsigned char* data, std::size_t size);
    static bool dds(const unsigned char* data, std::size_t size);
    static bool tga(const unsigned char* data, std::size_t size);
    static bool bmp(const unsigned char* data, std::size_t size);
    static bool jpg(const unsigned char* data, std::size_t size);
};
