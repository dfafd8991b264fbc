#pragma once

#include <log4cxx/logger.h>

// Declares this source file's logger, fileLogger(), named after the file.
// The logger is created on first use: log4cxx reads LOG4CXX_CONFIGURATION only
// when the first logger comes into being, and main sets that variable first.
#define VORN_FILE_LOGGER(name)                                                                               \
    namespace {                                                                                              \
    const log4cxx::LoggerPtr& fileLogger() {                                                                 \
        static const log4cxx::LoggerPtr logger = log4cxx::Logger::getLogger(name);                           \
        return logger;                                                                                       \
    }                                                                                                        \
    }

#define LOG_TRACE(message) LOG4CXX_TRACE(fileLogger(), message)
#define LOG_DEBUG(message) LOG4CXX_DEBUG(fileLogger(), message)
#define LOG_INFO(message) LOG4CXX_INFO(fileLogger(), message)
#define LOG_WARN(message) LOG4CXX_WARN(fileLogger(), message)
#define LOG_ERROR(message) LOG4CXX_ERROR(fileLogger(), message)
#define LOG_FATAL(message) LOG4CXX_FATAL(fileLogger(), message)
