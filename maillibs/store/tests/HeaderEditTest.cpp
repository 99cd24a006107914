#include "HeaderEdit.h"

#include <gtest/gtest.h>

namespace vesk::store::detail {
namespace {

struct Case {
    const char* comment;
    std::string message;
    std::vector<HeaderEdit> edits;
    std::string result;
};

TEST(HeaderEditTest, OnlyTheNamedFieldsChange) {
    const Case cases[] = {
        {"append a new field before the empty line", "From: a\nSubject: s\n\nbody\n", {{"X-Priority", "1"}},
         "From: a\nSubject: s\nX-Priority: 1\n\nbody\n"},
        {"replace a field, any case, keeping the rest in order", "X-PRIORITY: 5\nFrom: a\n\nbody\n",
         {{"X-Priority", "1 (Highest)"}}, "From: a\nX-Priority: 1 (Highest)\n\nbody\n"},
        {"remove with continuation lines", "Importance: low\n  (folded)\nFrom: a\n\nb\n", {{"importance", ""}},
         "From: a\n\nb\n"},
        {"every copy of a repeated field goes", "Priority: a\nFrom: a\nPriority: b\n\nb\n", {{"Priority", ""}},
         "From: a\n\nb\n"},
        {"CR LF messages keep CR LF", "From: a\r\nSubject: s\r\n\r\nbody\r\n", {{"Importance", "high"}},
         "From: a\r\nSubject: s\r\nImportance: high\r\n\r\nbody\r\n"},
        {"a body line that looks like a header is body", "From: a\n\nImportance: low\n", {{"Importance", "high"}},
         "From: a\nImportance: high\n\nImportance: low\n"},
        {"a message that is all header", "From: a\nSubject: s", {{"X-A", "1"}}, "From: a\nSubject: s\nX-A: 1\n"},
        {"a prefix of a name is another name", "X-Priority-Extra: 1\n\nb", {{"X-Priority", ""}},
         "X-Priority-Extra: 1\n\nb"},
        {"several edits at once", "A: 1\nB: 2\n\nb", {{"A", ""}, {"B", "3"}, {"C", "4"}}, "B: 3\nC: 4\n\nb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.comment);
        Result<std::string> out = editHeaders(c.message, c.edits);
        ASSERT_TRUE(out.ok());
        EXPECT_EQ(*out, c.result);
    }
}

TEST(HeaderEditTest, RefusesEditsThatWouldBreakTheHeader) {
    const HeaderEdit bad[] = {
        {"", "x"},                    // no name
        {"X Priority", "1"},          // blank in a name
        {"X:Priority", "1"},          // colon in a name
        {"X-Priority", "1\r\nBcc: x"},  // header injection
        {"Subject", "caf\xE9"},       // 8-bit value
    };
    for (const HeaderEdit& e : bad) {
        SCOPED_TRACE(e.name + "=" + e.value);
        EXPECT_EQ(editHeaders("A: 1\n\nb", {e}).status(), Status::InvalidArgument);
    }
}

}  // namespace
}  // namespace vesk::store::detail
