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
// Presses and releases each key of the space-separated key names ("Return", "Escape", "s", "1")
// in the window, whatever window has the focus. False when a name is unknown or the display is gone.
bool typeKeys(unsigned long window, const std::string& keys);

} // namespace XWindows
