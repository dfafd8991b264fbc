#include "core/Util.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <random>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/Log.h"
#include "core/SHA1.h"
#include "platform/DesktopMessageBox.h"

VORN_FILE_LOGGER("Util")

namespace Util {

const char* const kConfigSalt = "Rq4,Wd;KbTzXH&Lp>CwA8JuuE2n=97[kkfQ(Y3S*";

namespace {

// Someone answers on standard input when it is a terminal, or a pipe or file that a
// script feeds; a game started from a desktop menu has none of these.
bool answeredOnStandardInput() {
    struct stat input {};
    if (::fstat(STDIN_FILENO, &input) != 0) {
        return false;
    }
    return ::isatty(STDIN_FILENO) || S_ISFIFO(input.st_mode) || S_ISREG(input.st_mode);
}

} // namespace

// Without a terminal the desktop's dialog asks, and the text still goes to standard error
// for whoever keeps it; with no dialog program the terminal's box is the fallback.
MessageBoxResult showMessageBox(const std::string& text, const std::string& caption, MessageBoxIcon icon,
                                MessageBoxButtons buttons) {
    LOG_DEBUG("Message box '" << caption << "': " << text);
    if (!answeredOnStandardInput()) {
        if (const std::optional<MessageBoxResult> answer =
                DesktopMessageBox::ask(text, caption, icon, buttons)) {
            TerminalMessageBox::tell(std::cerr, text, caption, icon);
            return *answer;
        }
    }
    return TerminalMessageBox::ask(std::cin, std::cerr, text, caption, icon, buttons);
}

void fatalError(const std::string& caption, const std::string& text) {
    showMessageBox(text, caption, MessageBoxIcon::Stop, MessageBoxButtons::Ok);
    std::exit(1);
}

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// A read buffer whose size is a whole number of salt lengths, so every block
// starts at salt index 0 and the salt can be applied as one repeated pattern.
constexpr std::size_t kHashBlock = 1 << 16;

std::size_t blockSizeFor(std::size_t saltLength) {
    return saltLength == 0 ? kHashBlock : (kHashBlock / saltLength) * saltLength;
}

} // namespace

std::string calcHash(const char* salt, const std::string& path) {
    const std::string saltText = salt ? salt : "";
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        LOG_WARN("sha: unable to open file " << path);
        return "";
    }

    const std::size_t blockSize = blockSizeFor(saltText.size());
    std::vector<std::uint8_t> pattern; // grown as far as the file reaches, small files are the rule
    SHA1 sha;
    std::array<std::uint8_t, kHashBlock> buffer; // on the stack: configurations are hashed often
    std::size_t count;
    while (!sha.isCorrupted() && (count = std::fread(buffer.data(), 1, blockSize, file.get())) > 0) {
        for (std::size_t i = pattern.size(); !saltText.empty() && i < count; ++i) {
            pattern.push_back(static_cast<std::uint8_t>(saltText[i % saltText.size()]));
        }
        for (std::size_t i = 0; i < pattern.size() && i < count; ++i) {
            buffer[i] |= pattern[i];
        }
        sha.input(buffer.data(), count);
    }

    std::uint32_t digest[5];
    if (std::ferror(file.get()) || !sha.result(digest)) {
        LOG_WARN("sha: could not compute message digest for " << path);
        return "";
    }
    char text[41];
    std::snprintf(text, sizeof text, "%08X%08X%08X%08X%08X", digest[0], digest[1], digest[2], digest[3],
                  digest[4]);
    return text;
}

std::string createUniqueFile(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = path + "." + std::to_string(::getpid()) + "-" + std::to_string(seed) + "-" +
                                 std::to_string(counter++);
        const int descriptor = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0) {
            ::close(descriptor);
            return name;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    return "";
}

// A folder opens like a file but throws once it is read: that is no content either.
std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    try {
        std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (in.bad()) {
            return std::nullopt;
        }
        return content;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

} // namespace Util
