#pragma once

#include <string>

// Level files come from many exporters: UTF-8 with or without a byte-order
// mark, or UTF-16 in either byte order with or without one.
namespace TextEncoding {

enum class Encoding { Utf8, Utf16LittleEndian, Utf16BigEndian };

// A byte-order mark decides; without one, ASCII text saved as UTF-16 shows as
// every other byte zero.
Encoding detect(const std::string& bytes);

// The text as UTF-8 without a byte-order mark; undecodable UTF-16 gives the empty text.
std::string toUtf8(const std::string& bytes);

} // namespace TextEncoding
