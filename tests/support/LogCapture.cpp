#include "LogCapture.h"

#include <algorithm>
#include <log4cxx/appenderskeleton.h>
#include <log4cxx/logger.h>
#include <mutex>

using namespace log4cxx;
using namespace log4cxx::helpers;

class CollectingAppender : public AppenderSkeleton {
  public:
    DECLARE_LOG4CXX_OBJECT(CollectingAppender)
    BEGIN_LOG4CXX_CAST_MAP()
    LOG4CXX_CAST_ENTRY(CollectingAppender)
    LOG4CXX_CAST_ENTRY_CHAIN(AppenderSkeleton)
    END_LOG4CXX_CAST_MAP()

    void append(const log4cxx::spi::LoggingEventPtr& event, log4cxx::helpers::Pool&) override {
        const std::lock_guard<std::mutex> lock(mutex);
        collected.push_back(event->getRenderedMessage());
    }
    void close() override {}
    bool requiresLayout() const override { return false; }

    std::vector<std::string> snapshot() const {
        const std::lock_guard<std::mutex> lock(mutex);
        return collected;
    }

  private:
    mutable std::mutex mutex;
    std::vector<std::string> collected;
};

IMPLEMENT_LOG4CXX_OBJECT(CollectingAppender)

LogCapture::LogCapture() : appender(std::make_shared<CollectingAppender>()) {
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

std::vector<std::string> LogCapture::messages() const {
    return appender->snapshot();
}

bool LogCapture::contains(const std::string& message) const {
    return count(message) > 0;
}

int LogCapture::count(const std::string& message) const {
    const std::vector<std::string> all = messages();
    return static_cast<int>(std::count(all.begin(), all.end(), message));
}
