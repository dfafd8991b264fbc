#pragma once

#include <memory>
#include <string>
#include <vector>

#include <log4cxx/level.h>

// Collects every log line, from trace up, while it lives.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Each line as "LEVEL logger: message".
    std::vector<std::string> lines() const;
    // The messages alone.
    std::vector<std::string> messages() const;
    // Lines that contain `part` anywhere (level, logger or message).
    int count(const std::string& part) const;
    bool contains(const std::string& part) const { return count(part) > 0; }
    // Lines at `level` ("DEBUG", "WARN", ...) whose message starts with `text`.
    int count(const std::string& level, const std::string& text) const;
    // Lines at warn level or above, as "LEVEL message".
    std::vector<std::string> problems() const;
    void clear();

    struct Line {
        std::string level;
        std::string logger;
        std::string message;
    };
    class Appender;

private:
    std::vector<Line> snapshot() const;

    std::shared_ptr<Appender> appender;
    log4cxx::LevelPtr previousLevel;
};
