#include "LogCapture.h"

#include <algorithm>
#include <mutex>

#include <log4cxx/appenderskeleton.h>
#include <log4cxx/logger.h>
#include <log4cxx/spi/loggingevent.h>

class LogCapture::Appender : public log4cxx::AppenderSkeleton {
public:
    void append(const log4cxx::spi::LoggingEventPtr& event, log4cxx::helpers::Pool&) override {
        const std::lock_guard<std::mutex> lock(linesMutex);
        captured.push_back(
            {event->getLevel()->toString(), event->getLoggerName(), event->getRenderedMessage()});
    }
    void close() override {}
    bool requiresLayout() const override { return false; }

    std::vector<Line> lines() const {
        const std::lock_guard<std::mutex> lock(linesMutex);
        return captured;
    }
    void clear() {
        const std::lock_guard<std::mutex> lock(linesMutex);
        captured.clear();
    }

private:
    mutable std::mutex linesMutex;
    std::vector<Line> captured;
};

LogCapture::LogCapture() : appender(std::make_shared<Appender>()) {
    const log4cxx::LoggerPtr root = log4cxx::Logger::getRootLogger();
    previousLevel = root->getLevel();
    root->setLevel(log4cxx::Level::getAll());
    root->addAppender(appender);
}

LogCapture::~LogCapture() {
    const log4cxx::LoggerPtr root = log4cxx::Logger::getRootLogger();
    root->removeAppender(appender);
    root->setLevel(previousLevel);
}

std::vector<LogCapture::Line> LogCapture::snapshot() const {
    return appender->lines();
}

std::vector<std::string> LogCapture::lines() const {
    std::vector<std::string> result;
    for (const Line& line : snapshot()) {
        result.push_back(line.level + " " + line.logger + ": " + line.message);
    }
    return result;
}

std::vector<std::string> LogCapture::messages() const {
    std::vector<std::string> result;
    for (const Line& line : snapshot()) {
        result.push_back(line.message);
    }
    return result;
}

int LogCapture::count(const std::string& part) const {
    const std::vector<std::string> all = lines();
    return static_cast<int>(std::count_if(all.begin(), all.end(), [&](const std::string& line) {
        return line.find(part) != std::string::npos;
    }));
}

int LogCapture::count(const std::string& level, const std::string& text) const {
    const std::vector<Line> all = snapshot();
    return static_cast<int>(std::count_if(all.begin(), all.end(), [&](const Line& line) {
        return line.level == level && line.message.starts_with(text);
    }));
}

std::vector<std::string> LogCapture::problems() const {
    std::vector<std::string> result;
    for (const Line& line : snapshot()) {
        if (line.level == "WARN" || line.level == "ERROR" || line.level == "FATAL") {
            result.push_back(line.level + " " + line.message);
        }
    }
    return result;
}

void LogCapture::clear() {
    appender->clear();
}
