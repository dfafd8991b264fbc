#include "core/Config.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>

#include <iniparser.h>

#include "core/GameFolders.h"
#include "core/Log.h"
#include "core/Util.h"

VORN_FILE_LOGGER("Config")

namespace {

// iniparser reports to stderr by default; a missing file is an ordinary case
// here, so its messages go to our log instead.
int logIniparserError(const char* format, ...) {
    char message[1024];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    std::string text(message);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    LOG_DEBUG("iniparser: " << text);
    return length;
}

// A folder opens like a file and reads as an empty one: it is no ini file.
dictionary* loadIni(const char* path) {
    static std::once_flag quietErrors;
    std::call_once(quietErrors, [] { iniparser_set_error_callback(logIniparserError); });
    std::error_code error;
    return std::filesystem::is_directory(path, error) ? nullptr : iniparser_load(path);
}

// Levels load on a worker thread while the main thread may construct
// configurations too; the hash file is read, changed and replaced as one step.
std::mutex& hashFileMutex() {
    static std::mutex mutex;
    return mutex;
}

// Written beside the target and renamed over it, so a crash mid-write never
// loses the hashes already stored.
bool writeDictionary(dictionary* dict, const std::string& path) {
    const std::string temporary = Util::createUniqueFile(path);
    if (temporary.empty()) {
        return false;
    }
    std::error_code error;
    std::FILE* file = std::fopen(temporary.c_str(), "w");
    if (!file) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    iniparser_dump_ini(dict, file);
    const bool written = std::fflush(file) == 0 && !std::ferror(file);
    const bool closed = std::fclose(file) == 0;
    if (written && closed) {
        std::filesystem::rename(temporary, path, error);
        if (!error) {
            return true;
        }
    }
    std::filesystem::remove(temporary, error);
    return false;
}

bool onlySpacesFrom(const char* at) {
    while (std::isspace(static_cast<unsigned char>(*at))) {
        ++at;
    }
    return *at == '\0';
}

// The whole value as a number in `base`; none for text, a number followed by text,
// or one beyond the range of int.
std::optional<int> wholeNumber(const char* value, int base) {
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(value, &end, base);
    if (end == value || !onlySpacesFrom(end) || errno == ERANGE || number < INT_MIN || number > INT_MAX) {
        return std::nullopt;
    }
    return static_cast<int>(number);
}

// Decimal, hexadecimal after 0x and octal after a leading 0; a leading 0 before digits
// that are no octal ("08", "0900") is a decimal number written with a zero in front.
std::optional<int> parseInt(const char* value) {
    if (const std::optional<int> number = wholeNumber(value, 0)) {
        return number;
    }
    return wholeNumber(value, 10);
}

std::optional<float> parseFloat(const char* value) {
    char* end = nullptr;
    const float number = std::strtof(value, &end);
    if (end == value || !onlySpacesFrom(end) || !std::isfinite(number)) {
        return std::nullopt;
    }
    return number;
}

} // namespace

Config::Config(const char* path) : filename(path) {
    dictionary = loadIni(path);
    updateStoredHash();
}

Config::~Config() {
    if (dictionary) {
        iniparser_freedict(dictionary);
    }
}

void Config::updateStoredHash() const {
    const std::string hashKey = "hashes:" + filename;
    const std::lock_guard<std::mutex> lock(hashFileMutex());

    const std::string hashFile = GameFolders::hashFile();
    ::dictionary* security = loadIni(hashFile.c_str());
    if (!security) {
        security = dictionary_new(0);
    }
    // A section of that name has no value: the library hands back null for it.
    const char* storedValue = iniparser_getstring(security, hashKey.c_str(), "");
    const std::string stored = storedValue ? storedValue : "";
    const std::string computed = Util::calcHash(Util::kConfigSalt, filename);
    // A folder that cannot be made has had its warning; the hashes are not kept then.
    if (stored != computed && GameFolders::prepareFolderFor(hashFile)) {
        iniparser_set(security, "hashes", nullptr);
        iniparser_set(security, hashKey.c_str(), computed.c_str());
        if (!writeDictionary(security, hashFile)) {
            LOG_WARN("Couldn't write hash to config file.");
        }
    }
    iniparser_freedict(security);
}

namespace {

std::string lowered(const char* key) {
    std::string text;
    for (std::size_t i = 0; key[i] != '\0' && i < 1024; ++i) {
        text += static_cast<char>(std::tolower(static_cast<unsigned char>(key[i])));
    }
    return text;
}

} // namespace

void Config::setOverride(const std::string& key, const std::string& value) {
    const std::lock_guard<std::mutex> lock(overridesMutex);
    overrides[lowered(key.c_str())] = value;
}

std::optional<std::string> Config::lookup(const char* key) const {
    if (!key) {
        return std::nullopt;
    }
    const std::string name = lowered(key);
    {
        const std::lock_guard<std::mutex> lock(overridesMutex);
        if (const auto found = overrides.find(name); found != overrides.end()) {
            return found->second;
        }
    }
    const char* value = dictionary ? iniparser_getstring(dictionary, name.c_str(), nullptr) : nullptr;
    return value ? std::optional<std::string>(value) : std::nullopt;
}

std::string Config::getString(const char* key, const char* def) const {
    const std::optional<std::string> value = lookup(key);
    return value ? *value : (def ? def : "");
}

int Config::getInt(const char* key, int def) const {
    const std::optional<std::string> text = lookup(key);
    if (!text) {
        return def;
    }
    const char* value = text->c_str();
    const std::optional<int> number = parseInt(value);
    if (!number) {
        LOG_WARN("Setting '" << key << "' in " << filename << " is '" << value
                             << "', not a whole number: " << def << " is used");
        return def;
    }
    return *number;
}

float Config::getFloat(const char* key, float def) const {
    const std::optional<std::string> text = lookup(key);
    if (!text) {
        return def;
    }
    const char* value = text->c_str();
    const std::optional<float> number = parseFloat(value);
    if (!number) {
        LOG_WARN("Setting '" << key << "' in " << filename << " is '" << value << "', not a number: " << def
                             << " is used");
        return def;
    }
    return *number;
}

int Config::getPositiveInt(const char* key, int def) const {
    const int number = getInt(key, def);
    if (number <= 0) {
        LOG_WARN("Setting '" << key << "' in " << filename << " is " << number
                             << ", it must be above 0: " << def << " is used");
        return def;
    }
    return number;
}

float Config::getPositiveFloat(const char* key, float def) const {
    const float number = getFloat(key, def);
    if (number <= 0.0f) {
        LOG_WARN("Setting '" << key << "' in " << filename << " is " << number
                             << ", it must be above 0: " << def << " is used");
        return def;
    }
    return number;
}

bool Config::getBool(const char* key, bool def) const {
    const std::optional<std::string> text = lookup(key);
    if (!text) {
        return def;
    }
    const char* value = text->c_str();
    switch (value[0]) {
    case 'y':
    case 'Y':
    case '1':
    case 't':
    case 'T':
        return true;
    case 'n':
    case 'N':
    case '0':
    case 'f':
    case 'F':
        return false;
    default:
        return def;
    }
}

bool Config::hasSection(const char* name) const {
    if (!dictionary || !name) {
        return false;
    }
    const int sections = iniparser_getnsec(dictionary);
    for (int i = 0; i < sections; ++i) {
        const char* section = iniparser_getsecname(dictionary, i);
        if (section && std::string(section) == name) {
            return true;
        }
    }
    return false;
}
