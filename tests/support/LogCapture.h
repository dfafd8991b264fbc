#pragma once

#include <memory>
#include <string>
#include <vector>

#include <log4cxx/level.h>

class CollectingAppender;

// Collects every message logged while it lives, at every level.
class LogCapture {
  public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::string> messages() const;
    bool contains(const std::string& message) const;
    int count(const std::string& message) const;

  private:
    std::shared_ptr<CollectingAppender> appender;
    log4cxx::LevelPtr previousLevel;
};
