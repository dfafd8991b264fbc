#include "platform/QuitSignal.h"

#include <csignal>

namespace {
volatile std::sig_atomic_t quitRequested = 0;

// The second request ends the process as the signal would without us, so a
// shutdown that hangs can still be ended from the keyboard.
void requestQuit(int signal) {
    if (quitRequested) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
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
