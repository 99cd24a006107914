// The real-world mix profile: it must be what it says (every message a parseable MIME message,
// many charsets, several attachments, nested multiparts) and the same bytes every time.
#include <gmime/gmime.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "SyntheticMail.h"

namespace vesk::bench {
namespace {

struct Shape {
    int attachments = 0;  // parts with an attachment disposition
    int depth = 0;        // deepest multipart nesting
    std::set<std::string> charsets;
};

void walk(GMimeObject* part, int depth, Shape& shape) {
    if (GMIME_IS_MULTIPART(part)) {
        shape.depth = std::max(shape.depth, depth + 1);
        GMimeMultipart* multipart = GMIME_MULTIPART(part);
        for (int i = 0; i < g_mime_multipart_get_count(multipart); ++i) {
            walk(g_mime_multipart_get_part(multipart, i), depth + 1, shape);
        }
        return;
    }
    if (GMIME_IS_MESSAGE_PART(part)) {
        GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(part));
        if (inner) walk(g_mime_message_get_mime_part(inner), depth, shape);
        return;
    }
    if (g_mime_part_is_attachment(GMIME_PART(part))) ++shape.attachments;
    if (const char* charset = g_mime_object_get_content_type_parameter(part, "charset")) shape.charsets.insert(charset);
}

Shape parse(const std::string& text) {
    GMimeStream* stream = g_mime_stream_mem_new_with_buffer(text.data(), text.size());
    GMimeParser* parser = g_mime_parser_new_with_stream(stream);
    GMimeMessage* message = g_mime_parser_construct_message(parser, nullptr);
    Shape shape;
    shape.depth = -1;  // stays -1 when the text is not a message
    if (message) {
        shape.depth = 0;
        walk(g_mime_message_get_mime_part(message), 0, shape);
        g_object_unref(message);
    }
    g_object_unref(parser);
    g_object_unref(stream);
    return shape;
}

TEST(SyntheticMixTest, RealWorldMessagesHaveTheirShapes) {
    g_mime_init();
    std::set<std::string> charsets;
    int withSeveral = 0, nested = 0;
    const int count = 400;
    for (int i = 0; i < count; ++i) {
        Shape shape = parse(realWorldMessage(i, 1));
        ASSERT_GE(shape.depth, 0) << "message " << i << " does not parse";
        charsets.insert(shape.charsets.begin(), shape.charsets.end());
        withSeveral += shape.attachments >= 2;
        nested += shape.depth >= 2;
    }
    g_mime_shutdown();
    for (const char* charset : {"utf-8", "iso-8859-1", "iso-8859-15", "windows-1252", "koi8-r", "iso-2022-jp",
                                "shift_jis", "gb2312"}) {
        EXPECT_TRUE(charsets.count(charset)) << charset;
    }
    EXPECT_GT(withSeveral, count / 5);  // "many attachments"
    EXPECT_GT(nested, count / 4);       // multiparts inside multiparts
}

TEST(SyntheticMixTest, SameIndexAndSeedSameBytes) {
    EXPECT_EQ(realWorldMessage(17, 1), realWorldMessage(17, 1));
    EXPECT_NE(realWorldMessage(17, 1), realWorldMessage(18, 1));
    EXPECT_NE(realWorldMessage(17, 1), realWorldMessage(17, 2));
    EXPECT_EQ(mixMessage(MailMix::Synthetic, 5, 1), syntheticMessage(5, 1));
}

}  // namespace
}  // namespace vesk::bench
