#include <gtest/gtest.h>

#include <sstream>

#include "platform/TerminalMessageBox.h"

namespace {

MessageBoxResult answer(const std::string& input, MessageBoxButtons buttons, std::string* shown = nullptr) {
    std::istringstream in(input);
    std::ostringstream out;
    const MessageBoxResult result =
        TerminalMessageBox::ask(in, out, "Create Mipmaps?", "Mipmaps", MessageBoxIcon::Question, buttons);
    if (shown) {
        *shown = out.str();
    }
    return result;
}

} // namespace

TEST(TerminalMessageBox, ShowsCaptionTextAndChoices) {
    std::string shown;
    answer("y\n", MessageBoxButtons::YesNoCancel, &shown);
    EXPECT_NE(shown.find("Mipmaps"), std::string::npos);
    EXPECT_NE(shown.find("Create Mipmaps?"), std::string::npos);
    EXPECT_NE(shown.find("[y]es / [n]o / [c]ancel"), std::string::npos);
}

TEST(TerminalMessageBox, AcceptsShortcutsAndWordsInAnyCase) {
    EXPECT_EQ(answer("y\n", MessageBoxButtons::YesNo), MessageBoxResult::Yes);
    EXPECT_EQ(answer("  NO \n", MessageBoxButtons::YesNo), MessageBoxResult::No);
    EXPECT_EQ(answer("c\n", MessageBoxButtons::YesNoCancel), MessageBoxResult::Cancel);
    EXPECT_EQ(answer("try again\n", MessageBoxButtons::CancelTryContinue), MessageBoxResult::TryAgain);
    EXPECT_EQ(answer("i\n", MessageBoxButtons::AbortRetryIgnore), MessageBoxResult::Ignore);
    EXPECT_EQ(answer("r\n", MessageBoxButtons::RetryCancel), MessageBoxResult::Retry);
}

TEST(TerminalMessageBox, UnexpectedAnswersCountAsOk) {
    EXPECT_EQ(answer("", MessageBoxButtons::YesNo), MessageBoxResult::Ok) << "end of input";
    EXPECT_EQ(answer("\n", MessageBoxButtons::YesNo), MessageBoxResult::Ok) << "empty line";
    EXPECT_EQ(answer("maybe\n", MessageBoxButtons::YesNo), MessageBoxResult::Ok);
    EXPECT_EQ(answer("c\n", MessageBoxButtons::YesNo), MessageBoxResult::Ok) << "not a choice of this box";
}

TEST(TerminalMessageBox, ReadsOneAnswerPerBox) {
    std::istringstream in("n\ny\n");
    std::ostringstream out;
    EXPECT_EQ(TerminalMessageBox::ask(in, out, "", "", MessageBoxIcon::Question, MessageBoxButtons::YesNo),
              MessageBoxResult::No);
    EXPECT_EQ(TerminalMessageBox::ask(in, out, "", "", MessageBoxIcon::Question, MessageBoxButtons::YesNo),
              MessageBoxResult::Yes);
}
