#pragma once

#include <optional>
#include <string>

#include "platform/TerminalMessageBox.h"

namespace Util {

// The one way the program shows a blocking message box: asked on the terminal, or, for a
// game with no terminal, in a desktop dialog. Always written to the log.
MessageBoxResult showMessageBox(const std::string& text, const std::string& caption, MessageBoxIcon icon,
                                MessageBoxButtons buttons);

// Logs, asks the user to acknowledge with the stop icon and ends the process with code 1.
[[noreturn]] void fatalError(const std::string& caption, const std::string& text);

// SHA-1 of a file as 40 upper-case hex digits, every byte ORed with the salt
// byte at the same position modulo the salt length. A null salt means none.
// A file that cannot be opened or hashed gives the empty text.
std::string calcHash(const char* salt, const std::string& path);

// Creates a new empty file beside `path`, named `path` + "." + a suffix no other
// process or thread uses, with the usual permissions (0666 less the umask).
// Returns its name, or the empty text when it cannot be created.
std::string createUniqueFile(const std::string& path);

// The whole content of a file, read to its end (pipes too); none when it cannot be read.
std::optional<std::string> readFile(const std::string& path);

// The program's salt for configuration files.
extern const char* const kConfigSalt;

} // namespace Util
