#include "LogCapture.h"

#include <algorithm>

#include <log4cxx/logger.h>
#include <log4cxx/spi/loggingevent.h>

class LogCapture::Appender : public log4cxx::AppenderSkeleton {
  public:
    void append(const log4cxx::spi::LoggingEventPtr& event, log4cxx::helpers::Pool&) override {
        const std::lock_guard<std::mutex> lock(linesMutex);
        captured.push_back(event->getLevel()->toString() + " " + event->getLoggerName() + ": " +
                           event->getMessage());
    }
    void close() override {}
    bool requiresLayout() const override { return false; }

    std::vector<std::string> lines() const {
        const std::lock_guard<std::mutex> lock(linesMutex);
        return captured;
    }
    void clear() {
        const std::lock_guard<std::mutex> lock(linesMutex);
        captured.clear();
    }

  private:
    mutable std::mutex linesMutex;
    std::vector<std::string> captured;
};

LogCapture::LogCapture() : appender(std::make_shared<Appender>()) {
    const log4cxx::LoggerPtr root = log4cxx::Logger::getRootLogger();
    previousLevel = root->getLevel();
    root->setLevel(log4cxx::Level::getTrace());
    root->addAppender(appender);
}

LogCapture::~LogCapture() {
    const log4cxx::LoggerPtr root = log4cxx::Logger::getRootLogger();
    root->removeAppender(appender);
    root->setLevel(previousLevel);
}

std::vector<std::string> LogCapture::lines() const {
    return appender->lines();
}

int LogCapture::count(const std::string& part) const {
    const std::vector<std::string> all = lines();
    return static_cast<int>(std::count_if(all.begin(), all.end(), [&](const std::string& line) {
        return line.find(part) != std::string::npos;
    }));
}

void LogCapture::clear() {
    appender->clear();
}
