#pragma once

#include <iosfwd>
#include <string>

enum class MessageBoxIcon { Exclamation, Information, Question, Stop };

enum class MessageBoxButtons {
    AbortRetryIgnore,
    CancelTryContinue,
    Help,
    Ok,
    OkCancel,
    RetryCancel,
    YesNo,
    YesNoCancel
};

enum class MessageBoxResult { Abort, Cancel, Continue, Ignore, No, Ok, Retry, TryAgain, Yes };

// A blocking message box on the terminal: the text and the choices go to `out`,
// one line of answer is read from `in`. An answer that names no choice, an empty
// line and the end of input all count as OK, as an unexpected result does.
class TerminalMessageBox {
public:
    static MessageBoxResult ask(std::istream& in, std::ostream& out, const std::string& text,
                                const std::string& caption, MessageBoxIcon icon, MessageBoxButtons buttons);
    // The box's caption and text alone, for a box answered elsewhere.
    static void tell(std::ostream& out, const std::string& text, const std::string& caption,
                     MessageBoxIcon icon);
};
