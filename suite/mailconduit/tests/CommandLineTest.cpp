#include "commands/CommandLine.h"

#include <gtest/gtest.h>

namespace conduit {
namespace {

const std::vector<OptionDef> kOptions = {
    {"plugin", true}, {"to", true, true}, {"dry-run", false}, {"yes", false}};

struct ParseRow {
    const char* label;
    std::vector<std::string> args;
    const char* error;  // null: parses
};

TEST(CommandLineTest, RefusesMalformedArguments) {
    const ParseRow rows[] = {
        // An option nobody declared is a typo worth stopping for.
        {"unknown long option", {"--plugn", "salvith"}, "unknown option --plugn"},
        // Single-dash options other than -h are not part of the syntax.
        {"unknown short option", {"-p", "salvith"}, "unknown option -p"},
        // A value option at the end has nothing to take.
        {"missing value", {"--plugin"}, "--plugin needs a value"},
        // A flag given a value with '=' would silently drop it otherwise.
        {"value given to a flag", {"--dry-run=yes"}, "--dry-run takes no value"},
        // Two plug-ins for one sync is ambiguous.
        {"single-valued option twice", {"--plugin", "a", "--plugin=b"}, "--plugin is given twice"},
    };
    for (const ParseRow& row : rows) {
        SCOPED_TRACE(row.label);
        ParsedArgs parsed;
        std::optional<std::string> error = parseArgs(row.args, kOptions, parsed);
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(*error, row.error);
    }
}

TEST(CommandLineTest, CollectsValuesFlagsAndPositionals) {
    ParsedArgs parsed;
    ASSERT_FALSE(parseArgs({"compose", "--to", "a@x", "--to=b@y", "--dry-run", "--", "--yes", "-h"}, kOptions, parsed));
    EXPECT_EQ(parsed.positionals, (std::vector<std::string>{"compose", "--yes", "-h"}));
    EXPECT_EQ(parsed.values.at("to"), (std::vector<std::string>{"a@x", "b@y"}));
    EXPECT_TRUE(parsed.flag("dry-run"));
    EXPECT_FALSE(parsed.flag("yes"));  // after "--" it is a word, not a flag
    EXPECT_FALSE(parsed.help);
    EXPECT_EQ(parsed.value("plugin", "salvith"), "salvith");
}

TEST(CommandLineTest, ValueMayLookLikeAnOptionOrBeEmpty) {
    ParsedArgs parsed;
    ASSERT_FALSE(parseArgs({"--plugin", "--yes"}, kOptions, parsed));
    EXPECT_EQ(parsed.value("plugin"), "--yes");
    ASSERT_FALSE(parseArgs({"--plugin="}, kOptions, parsed));
    EXPECT_TRUE(parsed.has("plugin"));
    EXPECT_EQ(parsed.value("plugin", "fallback"), "");
}

TEST(CommandLineTest, HelpAnywhere) {
    ParsedArgs parsed;
    ASSERT_FALSE(parseArgs({"--plugin", "x", "-h"}, kOptions, parsed));
    EXPECT_TRUE(parsed.help);
    ASSERT_FALSE(parseArgs({"--help"}, kOptions, parsed));
    EXPECT_TRUE(parsed.help);
}

TEST(CommandLineTest, MessageNumbers) {
    struct Row {
        const char* text;
        std::optional<unsigned long long> number;
    } rows[] = {
        {"12", 12}, {"#7", 7},  // as the list shows them
        {"0", std::nullopt},    // numbers start at 1
        {"", std::nullopt}, {"#", std::nullopt}, {"-3", std::nullopt}, {"4a", std::nullopt},
        {"1234567890123456789", std::nullopt},  // too long to be one of ours
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(parseMessageNumber(row.text), row.number);
    }
}

}  // namespace
}  // namespace conduit
