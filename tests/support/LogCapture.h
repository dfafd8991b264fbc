#pragma once

#include <mutex>
#include <string>
#include <vector>

#include <log4cxx/appenderskeleton.h>

// Collects every log line, from trace up, as "LEVEL logger: message" while it lives.
class LogCapture {
  public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::string> lines() const;
    // Lines whose text contains `part`.
    int count(const std::string& part) const;
    bool contains(const std::string& part) const { return count(part) > 0; }
    void clear();

  private:
    class Appender;
    std::shared_ptr<Appender> appender;
    log4cxx::LevelPtr previousLevel;
};
