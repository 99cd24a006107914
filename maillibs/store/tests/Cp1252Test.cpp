#include "Cp1252.h"

#include <gtest/gtest.h>

namespace vesk::store::detail {
namespace {

TEST(Cp1252Test, LineEnds) {
    EXPECT_EQ(toCrlf("a\nb\r\nc\rd\n\n"), "a\r\nb\r\nc\r\nd\r\n\r\n");
    EXPECT_EQ(toLf("a\r\nb\rc\n"), "a\nb\nc\n");
    EXPECT_EQ(toCrlf("\r\r\n"), "\r\n\r\n");  // a lone CR, then a CR LF pair
}

}  // namespace
}  // namespace vesk::store::detail
