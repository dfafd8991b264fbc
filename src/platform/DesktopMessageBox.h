#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/TerminalMessageBox.h"

// A blocking message box shown by the desktop's own dialog program: zenity, kdialog or
// xmessage, the first of them installed. For a game started from a menu, where nobody
// reads a terminal.
class DesktopMessageBox {
public:
    // The dialog program along the colon-separated `searchPath`, in the order above;
    // empty when there is none.
    static std::string findTool(const std::string& searchPath);
    // Shows the box with the dialog program at `tool`; none when it could not be shown
    // (no program, no display, the program failed), so the caller asks elsewhere.
    static std::optional<MessageBoxResult> ask(const std::string& tool, const std::string& text,
                                               const std::string& caption, MessageBoxIcon icon,
                                               MessageBoxButtons buttons);
    // The same with the program found along PATH, when there is a display to show it on.
    static std::optional<MessageBoxResult> ask(const std::string& text, const std::string& caption,
                                               MessageBoxIcon icon, MessageBoxButtons buttons);
};
