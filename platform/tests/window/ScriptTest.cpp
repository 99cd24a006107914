// Script lines: what each line means, what is refused and why, and writing actions back.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/ScriptedPresenter.h"

namespace vesk::ui {
namespace {

struct Good {
    const char* line;
    ScriptAction::Kind kind;
    int control;
    const char* text;  // Windows-1252
};

TEST(Script, LinesBecomeActions) {
    const Good rows[] = {
        {"type John Smith into 2102", ScriptAction::Kind::Type, 2102, "John Smith"},
        {"type John into control 2102", ScriptAction::Kind::Type, 2102, "John"},
        // The last "into" separates, so a text may hold the word.
        {"type walk into the sea into 0x836", ScriptAction::Kind::Type, 2102, "walk into the sea"},
        {"type \"\" into 2103", ScriptAction::Kind::Type, 2103, ""},
        {"type \"  padded \\\"quoted\\\"\\n\" into 7", ScriptAction::Kind::Type, 7, "  padded \"quoted\"\n"},
        {"  TYPE caf\xC3\xA9 into 1  ", ScriptAction::Kind::Type, 1, "caf\xE9"},  // UTF-8 in, Windows-1252 out
        {"select Default in 3010", ScriptAction::Kind::Select, 3010, "Default"},
        {"select Work in control 3010", ScriptAction::Kind::Select, 3010, "Work"},
        {"check 1005", ScriptAction::Kind::Check, 1005, ""},
        {"uncheck 1005", ScriptAction::Kind::Uncheck, 1005, ""},
        {"press Next", ScriptAction::Kind::Press, 0, "Next"},
        {"press B&rowse...", ScriptAction::Kind::Press, 0, "B&rowse..."},
        {"answer No", ScriptAction::Kind::Answer, 0, "No"},
        {"answer Try Again", ScriptAction::Kind::Answer, 0, "Try Again"},
        {"choose directory /tmp/post office", ScriptAction::Kind::ChooseDirectory, 0, "/tmp/post office"},
    };
    for (const Good& row : rows) {
        SCOPED_TRACE(row.line);
        std::string error;
        const std::optional<ScriptAction> action = parseScriptLine(row.line, &error);
        ASSERT_TRUE(action.has_value()) << error;
        EXPECT_EQ(action->kind, row.kind);
        EXPECT_EQ(action->control, row.control);
        EXPECT_EQ(action->text, row.text);
        // Written back and read again, the action is the same.
        const std::optional<ScriptAction> again = parseScriptLine(action->toString(), &error);
        ASSERT_TRUE(again.has_value()) << action->toString() << ": " << error;
        EXPECT_EQ(again->kind, action->kind);
        EXPECT_EQ(again->control, action->control);
        EXPECT_EQ(again->text, action->text);
    }
}

TEST(Script, BadLinesSayWhatIsWrong) {
    const struct {
        const char* line;
        const char* reason;  // a part of the message
    } rows[] = {
        {"jump 5", "is no action"},
        {"type hello", "\"into\""},
        {"type into 5", "text is missing"},
        {"type x into two", "is no control id"},
        {"type \"open into 5", "not closed"},
        {"type \"a\" b into 5", "follows a quoted text"},
        {"type \"\\q\" into 5", "unknown escape"},
        {"select x in", "and a control id are missing"},
        {"check", "is no control id"},
        {"press", "text is missing"},
        {"choose 5", "choose directory"},
        {"choose directory", "choose directory"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        std::string error;
        EXPECT_FALSE(parseScriptLine(row.line, &error).has_value());
        EXPECT_NE(error.find(row.reason), std::string::npos) << error;
    }
}

TEST(Script, BlankAndCommentLinesAreSkippedAndErrorsNameTheLine) {
    std::vector<ScriptAction> actions;
    std::string error;
    ASSERT_TRUE(parseScript("# a wizard\n\npress Next\r\n  # indented comment\nanswer Yes\n", &actions, &error));
    ASSERT_EQ(actions.size(), 2u);
    EXPECT_EQ(actions[0].line, 3);
    EXPECT_EQ(actions[1].line, 5);
    EXPECT_FALSE(parseScript("press Next\nfly away\n", &actions, &error));
    EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << error;
    EXPECT_EQ(actions.size(), 2u);  // left as it was
}

TEST(Script, FilesAreReadWhole) {
    const std::string path = testing::TempDir() + "/script-test.txt";
    std::ofstream(path) << "type Jane into 2102\npress Finish";  // no final line break
    std::vector<ScriptAction> actions;
    std::string error;
    ASSERT_TRUE(loadScript(path, &actions, &error)) << error;
    ASSERT_EQ(actions.size(), 2u);
    EXPECT_EQ(actions[1].text, "Finish");
    EXPECT_FALSE(loadScript(path + ".missing", &actions, &error));
    EXPECT_NE(error.find("cannot read"), std::string::npos);
    std::remove(path.c_str());
}

}  // namespace
}  // namespace vesk::ui
