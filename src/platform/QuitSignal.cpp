#include "platform/QuitSignal.h"

#include <csignal>

namespace {
volatile std::sig_atomic_t quitRequested = 0;

void requestQuit(int) {
    quitRequested = 1;
}
} // namespace

void QuitSignal::install() {
    std::signal(SIGINT, requestQuit);
    std::signal(SIGTERM, requestQuit);
}

bool QuitSignal::raised() {
    return quitRequested != 0;
}
