#include "platform/TerminalMessageBox.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <ostream>
#include <vector>

namespace {

struct Choice {
    const char* label; // shown with the shortcut letter in brackets
    const char* word;  // the full answer, lower case
    char shortcut;
    MessageBoxResult result;
};

std::vector<Choice> choicesOf(MessageBoxButtons buttons) {
    using R = MessageBoxResult;
    switch (buttons) {
    case MessageBoxButtons::AbortRetryIgnore:
        return {{"[a]bort", "abort", 'a', R::Abort},
                {"[r]etry", "retry", 'r', R::Retry},
                {"[i]gnore", "ignore", 'i', R::Ignore}};
    case MessageBoxButtons::CancelTryContinue:
        return {{"[c]ancel", "cancel", 'c', R::Cancel},
                {"[t]ry again", "try again", 't', R::TryAgain},
                {"c[o]ntinue", "continue", 'o', R::Continue}};
    case MessageBoxButtons::Help:
        return {{"[h]elp", "help", 'h', R::Ok}};
    case MessageBoxButtons::Ok:
        return {{"[o]k", "ok", 'o', R::Ok}};
    case MessageBoxButtons::OkCancel:
        return {{"[o]k", "ok", 'o', R::Ok}, {"[c]ancel", "cancel", 'c', R::Cancel}};
    case MessageBoxButtons::RetryCancel:
        return {{"[r]etry", "retry", 'r', R::Retry}, {"[c]ancel", "cancel", 'c', R::Cancel}};
    case MessageBoxButtons::YesNo:
        return {{"[y]es", "yes", 'y', R::Yes}, {"[n]o", "no", 'n', R::No}};
    case MessageBoxButtons::YesNoCancel:
        return {{"[y]es", "yes", 'y', R::Yes},
                {"[n]o", "no", 'n', R::No},
                {"[c]ancel", "cancel", 'c', R::Cancel}};
    }
    return {};
}

const char* iconWord(MessageBoxIcon icon) {
    switch (icon) {
    case MessageBoxIcon::Exclamation:
        return "Warning";
    case MessageBoxIcon::Information:
        return "Information";
    case MessageBoxIcon::Question:
        return "Question";
    case MessageBoxIcon::Stop:
        return "Error";
    }
    return "";
}

std::string normalized(std::string answer) {
    const auto notSpace = [](unsigned char c) { return !std::isspace(c); };
    answer.erase(answer.begin(), std::find_if(answer.begin(), answer.end(), notSpace));
    answer.erase(std::find_if(answer.rbegin(), answer.rend(), notSpace).base(), answer.end());
    std::transform(answer.begin(), answer.end(), answer.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return answer;
}

} // namespace

void TerminalMessageBox::tell(std::ostream& out, const std::string& text, const std::string& caption,
                              MessageBoxIcon icon) {
    out << "\n[" << iconWord(icon) << "] " << caption << "\n" << text << "\n" << std::flush;
}

MessageBoxResult TerminalMessageBox::ask(std::istream& in, std::ostream& out, const std::string& text,
                                         const std::string& caption, MessageBoxIcon icon,
                                         MessageBoxButtons buttons) {
    const std::vector<Choice> choices = choicesOf(buttons);
    tell(out, text, caption, icon);
    for (std::size_t i = 0; i < choices.size(); ++i) {
        out << (i == 0 ? "" : " / ") << choices[i].label;
    }
    out << "? " << std::flush;

    std::string line;
    if (!std::getline(in, line)) {
        out << "\n";
        return MessageBoxResult::Ok;
    }
    const std::string answer = normalized(line);
    for (const Choice& choice : choices) {
        if (answer == choice.word || (answer.size() == 1 && answer[0] == choice.shortcut)) {
            return choice.result;
        }
    }
    return MessageBoxResult::Ok;
}
