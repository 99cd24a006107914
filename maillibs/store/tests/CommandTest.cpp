#include "Command.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace vesk::store::detail {
namespace {

TEST(CommandTest, SplitCommand) {
    struct Case {
        const char* line;
        std::vector<std::string> words;
    } cases[] = {
        {"/usr/sbin/sendmail", {"/usr/sbin/sendmail"}},
        {"  msmtp  -C /etc/msmtprc ", {"msmtp", "-C", "/etc/msmtprc"}},
        {"\"/opt/my mail/send\" -t", {"/opt/my mail/send", "-t"}},  // quotes group blanks
        {"a\"b c\"d", {"ab cd"}},                                   // quotes inside a word
        {"\"\"", {""}},                                              // an empty quoted word
        {"", {}},
        {"   ", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(splitCommand(c.line), c.words);
    }
}

TEST(CommandTest, InputArrivesWholeAndArgumentsUnchanged) {
    test::TempDir dir;
    std::string out = dir.path() + "/out";
    std::string input(200000, 'x');  // more than a socket buffer holds
    input += "\nend\n";
    CommandOutcome r =
        runCommand({"sh", "-c", "printf '%s|' \"$@\" > \"$0.args\"; cat > \"$0\"", out, "-i", "a b", "--"}, input, 30);
    EXPECT_TRUE(r.succeeded()) << r.message;
    EXPECT_EQ(test::slurp(out), input);
    EXPECT_EQ(test::slurp(out + ".args"), "-i|a b|--|");
}

TEST(CommandTest, Failures) {
    CommandOutcome exitCode = runCommand({"sh", "-c", "echo 'first line' >&2; echo second >&2; exit 3"}, "m", 30);
    EXPECT_TRUE(exitCode.started);
    EXPECT_FALSE(exitCode.succeeded());
    EXPECT_EQ(exitCode.exitStatus, 3);
    EXPECT_EQ(exitCode.message, "first line");

    CommandOutcome missing = runCommand({"/nonexistent/sendmail"}, "m", 30);
    EXPECT_FALSE(missing.started);
    EXPECT_FALSE(missing.succeeded());
    EXPECT_NE(missing.message.find("/nonexistent/sendmail"), std::string::npos);

    CommandOutcome killed = runCommand({"sh", "-c", "kill -TERM $$"}, "m", 30);
    EXPECT_FALSE(killed.succeeded());
    EXPECT_EQ(killed.signal, 15);
}

TEST(CommandTest, ACommandThatIgnoresItsInputDoesNotHurtTheCaller) {
    // Exits without reading a large input: the caller must see exit 0, not die of SIGPIPE.
    CommandOutcome r = runCommand({"true"}, std::string(1 << 20, 'x'), 30);
    EXPECT_TRUE(r.succeeded());
}

TEST(CommandTest, AHangingCommandIsKilledAtTheLimit) {
    CommandOutcome r = runCommand({"sleep", "30"}, "", 1);
    EXPECT_TRUE(r.timedOut);
    EXPECT_FALSE(r.succeeded());
}

}  // namespace
}  // namespace vesk::store::detail
