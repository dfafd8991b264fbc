#pragma once

#include <string>
#include <sys/types.h>

// The few X11 requests the end-to-end tests need, as a window manager would make them.
namespace XWindows {

// The mapped top-level window of process `pid`, or 0 when none appears within the timeout.
unsigned long waitForWindowOf(pid_t pid, int timeoutMilliseconds);
// The window's title as the window manager would show it.
std::string title(unsigned long window);
// Asks the window to close as a title bar's close button does (WM_DELETE_WINDOW).
bool requestClose(unsigned long window);

} // namespace XWindows
