#include "framework/CallerBuffer.h"

#include <gtest/gtest.h>

#include <cstring>

#include "framework/MailHost.h"

namespace {

// Rows: the capacity the caller offers, what comes back, and the capacity afterwards.
TEST(CallerBufferTest, TheCapacityDecidesWhatIsWritten) {
    struct Row {
        int capacity;
        int result;
        int capacityAfter;
    };
    for (Row row : {Row{0, MAILHOST_BUFFER_TOO_SMALL, 6}, Row{5, MAILHOST_BUFFER_TOO_SMALL, 6}, Row{6, MAILHOST_OK, 6},
                    Row{40, MAILHOST_OK, 40}}) {
        SCOPED_TRACE(row.capacity);
        char out[64];
        std::memset(out, '#', sizeof out);
        int size = row.capacity;
        EXPECT_EQ(CopyTextToCaller("hello", out, &size), row.result);
        EXPECT_EQ(size, row.capacityAfter);
        if (row.result == MAILHOST_OK) {
            EXPECT_STREQ(out, "hello");
        } else {
            EXPECT_EQ(out[0], '#');
        }
        EXPECT_EQ(out[6], '#');
    }
    EXPECT_EQ(CopyTextToCaller("x", nullptr, nullptr), MAILHOST_NULL_ARGUMENT);
    int size = 10;
    EXPECT_EQ(CopyTextToCaller("x", nullptr, &size), MAILHOST_NULL_ARGUMENT);
}

TEST(CallerBufferTest, ANameListEndsEachNameAndTheListInNul) {
    char out[16];
    std::memset(out, '#', sizeof out);
    int size = sizeof out;
    ASSERT_EQ(CopyNameListToCaller("ab%c%", out, &size), MAILHOST_OK);
    EXPECT_EQ(std::memcmp(out, "ab\0c\0\0", 6), 0);
    EXPECT_EQ(out[6], '#');
}

}  // namespace
