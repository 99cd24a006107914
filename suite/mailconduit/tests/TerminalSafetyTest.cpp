// Nothing in a message can drive the terminal: control characters and escape sequences in
// subjects, names, bodies, attachment names and error texts reach `handheld list`, `show` and
// the sync's summary as visible placeholders. Bodies given to `compose` are UTF-8 or UTF-16
// with a byte-order mark; anything else holding NUL bytes is refused before it is queued.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "desktop/DesktopView.h"
#include "desktop/FileIo.h"
#include "TestDesktop.h"

namespace conduit {
namespace {

using test::RunResult;
using test::TempDesktop;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// No byte a terminal would obey: C0 controls but tab and line feed, DEL, ESC, and C1
// controls in UTF-8.
void expectInert(const std::string& out) {
    for (std::size_t i = 0; i < out.size(); ++i) {
        auto b = static_cast<unsigned char>(out[i]);
        EXPECT_FALSE((b < 0x20 && b != '\t' && b != '\n') || b == 0x7F) << "byte " << int(b) << " at " << i << ":\n" << out;
        if (b == 0xC2 && i + 1 < out.size()) {
            auto next = static_cast<unsigned char>(out[i + 1]);
            EXPECT_FALSE(next >= 0x80 && next <= 0x9F) << "a C1 control at " << i << ":\n" << out;
        }
    }
}

class TerminalSafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!exists(std::string(MAILCONDUIT_MODULE_DIR) + "/salvith.so")) GTEST_SKIP() << "salvith.so is not built";
        ASSERT_EQ(copyTree(MAILCONDUIT_EXAMPLE_DESKTOP, home()), 0);
        ASSERT_FALSE(prepareDesktop(home()));
    }
    const std::string& home() const { return m_desktop.path(); }
    RunResult run(const std::vector<std::string>& args) { return test::runConduit(args, home()); }

    TempDesktop m_desktop;
};

TEST_F(TerminalSafetyTest, AMessageFromTheDesktopCannotRewriteTheScreen) {
    // Every C0 control but NUL, tab, LF and CR (which a header cannot hold), DEL, and every
    // C1 control, in the subject and the sender's name; real sequences in the body.
    std::string controls;
    for (int c = 1; c < 0x20; ++c) {
        if (c != '\t' && c != '\n' && c != '\r') controls += static_cast<char>(c);
    }
    controls += '\x7f';
    std::string c1;
    for (int c = 0x80; c <= 0x9F; ++c) c1 += "\xc2" + std::string(1, static_cast<char>(c));
    std::string mail = "From: \"Eve\x1b[8m\" <eve@example.org>\nTo: teo.varga@example.org\n"
                       "Subject: hello \x1b]0;TITLE\x07 " + controls + "\nMIME-Version: 1.0\n"
                       "Content-Type: text/plain; charset=utf-8\nContent-Transfer-Encoding: 8bit\n\n"
                       "before\x1b[2J\x1b[H after " + c1 + "\nline\rover\n";
    ASSERT_EQ(replaceFile(home() + "/mail/teo/new/1700000000.M1P1.evil", mail), 0);
    RunResult sync = run({"sync", "--plugin", "salvith"});
    ASSERT_EQ(sync.status, 0) << sync.out << sync.err;

    RunResult list = run({"handheld", "list"});
    expectInert(list.out);
    EXPECT_TRUE(contains(list.out, "hello ^[]0;TITLE^G ^A^B^C")) << list.out;

    // The newest inbox message is the last of the list; find its number.
    std::size_t at = list.out.find("hello ^[");
    ASSERT_NE(at, std::string::npos);
    std::size_t lineStart = list.out.rfind('\n', at) + 1;
    std::string number = std::to_string(std::stoi(list.out.substr(lineStart, 5)));
    RunResult show = run({"handheld", "show", number});
    expectInert(show.out);
    EXPECT_TRUE(contains(show.out, "Eve^[[8m")) << show.out;
    EXPECT_TRUE(contains(show.out, "before^[[2J^[[H after")) << show.out;
    // The C1 controls Windows-1252 keeps (the others arrive as '?').
    for (const char* kept : {"<U+0081>", "<U+008D>", "<U+008F>", "<U+0090>", "<U+009D>"}) {
        EXPECT_TRUE(contains(show.out, kept)) << kept << "\n" << show.out;
    }
}

TEST_F(TerminalSafetyTest, AnErrorTextFromTheSendingCommandIsShownNotObeyed) {
    std::string command = home() + "/bin/refuse";
    ASSERT_EQ(replaceFile(command, "#!/bin/sh\ncat > /dev/null\nprintf '550 \\033]0;pwned\\007\\033[2J\\n' >&2\nexit 1\n"), 0);
    ::chmod(command.c_str(), 0700);
    std::string registry;
    readFile(home() + "/registry.reg", registry);
    std::size_t at = registry.find("\"SendCommand\"=\"");
    ASSERT_NE(at, std::string::npos);
    registry.replace(at, registry.find('\n', at) - at, "\"SendCommand\"=\"" + command + "\"");
    ASSERT_EQ(replaceFile(home() + "/registry.reg", registry), 0);
    ASSERT_EQ(run({"handheld", "compose", "--to", "mira.castell@example.org", "--subject", "x\x1b[31m", "--body", "b"}).status, 0);
    RunResult sync = run({"sync", "--plugin", "salvith"});
    EXPECT_EQ(sync.status, 1);
    expectInert(sync.out);
    EXPECT_TRUE(contains(sync.out, "exit status 1: 550 ^[]0;pwned^G^[[2J; it is tried again")) << sync.out;
    RunResult queue = run({"queue", "list"});
    expectInert(queue.out);
    EXPECT_TRUE(contains(queue.out, "\"x^[[31m\"")) << queue.out;
}

TEST_F(TerminalSafetyTest, BodiesAreUtf8OrUtf16WithAByteOrderMark) {
    struct Row {
        const char* what;
        std::string bytes;
        bool accepted;
        const char* bodyShown;  // accepted: what `show` prints of it
    } rows[] = {
        {"UTF-8", "Gr\xc3\xbc\xc3\x9f" "e\n", true, "Grüße\n"},
        {"UTF-8 with a byte-order mark", "\xef\xbb\xbfGr\xc3\xbc\xc3\x9f" "e\n", true, "Grüße\n"},
        {"UTF-16LE", std::string("\xff\xfeG\0r\0\xfc\0\xdf\0" "e\0\n\0", 14), true, "Grüße\n"},
        {"UTF-16BE", std::string("\xfe\xff\0G\0r\0\xfc\0\xdf\0" "e\0\n", 14), true, "Grüße\n"},
        {"UTF-16 without its mark", std::string("G\0r\0\xfc\0", 6), false, nullptr},
        {"a NUL byte in UTF-8", std::string("before\0after", 12), false, nullptr},
        {"UTF-16 of odd length", std::string("\xff\xfeG\0r", 5), false, nullptr},
        {"UTF-32LE", std::string("\xff\xfe\0\0G\0\0\0", 8), false, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::string file = home() + "/body.txt";
        ASSERT_EQ(replaceFile(file, row.bytes), 0);
        std::string before;
        before = test::handheldJson(home());
        RunResult r = run({"handheld", "compose", "--to", "a@example.org", "--subject", row.what, "--body-file", file});
        if (!row.accepted) {
            EXPECT_EQ(r.status, 2);
            EXPECT_TRUE(contains(r.err, file)) << r.err;
            EXPECT_TRUE(contains(r.err, "nothing was written")) << r.err;
            EXPECT_FALSE(contains(run({"handheld", "list"}).out, row.what));
            continue;
        }
        ASSERT_EQ(r.status, 0) << r.err;
        std::size_t hash = r.out.find('#');
        ASSERT_NE(hash, std::string::npos);
        RunResult show = run({"handheld", "show", std::to_string(std::stoi(r.out.substr(hash + 1)))});
        EXPECT_TRUE(contains(show.out, std::string("\n\n") + row.bodyShown)) << show.out;
    }
}

}  // namespace
}  // namespace conduit
