#include "handheld/Base64.h"

#include <gtest/gtest.h>

namespace conduit {
namespace {

TEST(Base64Test, EncodesAndRefusesMalformedText) {
    const struct {
        std::string bytes, text;
    } rows[] = {{"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {std::string("\0\xff", 2), "AP8="}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(encodeBase64(row.bytes), row.text);
        EXPECT_EQ(decodeBase64(row.text), row.bytes);
    }
    for (const char* bad : {"Zg=", "Z===", "Zg==Zg==", "Zm9*", "=Zm9"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(decodeBase64(bad).has_value());
    }
}

}  // namespace
}  // namespace conduit
