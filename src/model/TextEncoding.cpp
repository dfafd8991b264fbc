#include "model/TextEncoding.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace {

// One iconv conversion descriptor, closed with its scope.
class Converter {
public:
    explicit Converter(const char* from) : descriptor(iconv_open("UTF-8", from)) {}
    ~Converter() {
        if (valid()) {
            iconv_close(descriptor);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return descriptor != reinterpret_cast<iconv_t>(-1); }

    std::string convert(std::string input) {
        std::string output(input.size() * 2 + 16, '\0');
        char* in = input.data();
        std::size_t inLeft = input.size();
        char* out = output.data();
        std::size_t outLeft = output.size();
        if (iconv(descriptor, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
            return {};
        }
        output.resize(output.size() - outLeft);
        return output;
    }

private:
    iconv_t descriptor;
};

bool startsWith(const std::string& bytes, std::initializer_list<unsigned char> prefix) {
    return bytes.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), bytes.begin(),
                      [](unsigned char a, char b) { return a == static_cast<unsigned char>(b); });
}

} // namespace

namespace TextEncoding {

Encoding detect(const std::string& bytes) {
    if (startsWith(bytes, {0xFF, 0xFE})) {
        return Encoding::Utf16LittleEndian;
    }
    if (startsWith(bytes, {0xFE, 0xFF})) {
        return Encoding::Utf16BigEndian;
    }
    if (bytes.size() < 2 || bytes.size() % 2 != 0) {
        return Encoding::Utf8;
    }
    const std::size_t sample = std::min<std::size_t>(bytes.size(), 512);
    std::size_t zerosAtEven = 0;
    std::size_t zerosAtOdd = 0;
    for (std::size_t i = 0; i < sample; ++i) {
        if (bytes[i] == '\0') {
            (i % 2 == 0 ? zerosAtEven : zerosAtOdd) += 1;
        }
    }
    const std::size_t half = sample / 2;
    if (zerosAtOdd == half && zerosAtEven == 0) {
        return Encoding::Utf16LittleEndian;
    }
    if (zerosAtEven == half && zerosAtOdd == 0) {
        return Encoding::Utf16BigEndian;
    }
    return Encoding::Utf8;
}

std::string toUtf8(const std::string& bytes) {
    const Encoding encoding = detect(bytes);
    if (encoding == Encoding::Utf8) {
        return startsWith(bytes, {0xEF, 0xBB, 0xBF}) ? bytes.substr(3) : bytes;
    }
    // The byte order is named explicitly, so a mark would stay in the text: drop it first.
    const bool marked = startsWith(bytes, {0xFF, 0xFE}) || startsWith(bytes, {0xFE, 0xFF});
    Converter converter(encoding == Encoding::Utf16LittleEndian ? "UTF-16LE" : "UTF-16BE");
    return converter.valid() ? converter.convert(bytes.substr(marked ? 2 : 0)) : std::string();
}

} // namespace TextEncoding
