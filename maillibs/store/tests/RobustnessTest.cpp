// Files as other programs leave them in mail folders: every one reads as a message, with the
// text a mail reader shows (corpora/robustness/README.md says what each file exercises).
#include <gtest/gtest.h>

#include <algorithm>

#include "Cp1252.h"
#include "GeneratedMail.h"
#include "MessageShape.h"
#include "Parse.h"
#include "TestSupport.h"

namespace vesk::store::detail {
namespace {

std::string robustnessFile(const std::string& name) {
    return test::slurp(std::string(VESK_STORE_CORPORA) + "/robustness/" + name);
}

struct Row {
    const char* file;
    std::string subject;
    std::string body;                      // Windows-1252, CR LF, exactly
    std::vector<std::string> attachments;  // names, in order
};

std::vector<Row> rows() {
    return {
        {"no-header.eml", "",
         "This file has no header block at all.\r\nIts first line is already text, as a note saved from an "
         "editor would be.\r\n", {}},
        {"empty.eml", "", "", {}},
        {"no-blank-line.eml", "No blank line",
         "This line is not a header field, so the body starts here.\r\nSecond line of the body.\r\n", {}},
        {"type-without-subtype.eml", "Type without subtype", "Body of a part typed only \"text\".\r\n", {}},
        {"type-unknown.eml", "Unknown type", "Body of a part of a type nobody knows.\r\n", {}},
        {"type-unparsable.eml", "Unparsable type", "Body under a Content-Type that does not parse.\r\n", {}},
        {"multipart-no-boundary.eml", "Multipart without boundary",
         "The sender forgot the boundary; this text is all there is.\r\n", {}},
        {"multipart-boundary-absent.eml", "Boundary never used",
         "--some-other-boundary\r\nContent-Type: text/plain\r\n\r\nText between boundaries that are not the "
         "declared one.\r\n", {}},
        {"several-text-parts.eml", "Several text parts",
         "First text part.\r\nSecond text part, inline with a file name.\r\nThird text part, HTML.",
         {"report.pdf", "log.txt"}},
        {"part-header-into-body.eml", "Part header runs into body",
         "The part header has no blank line after it.\r\nSecond line.", {}},
        {"missing-final-boundary.eml", "Missing final boundary",
         "First part.\r\nSecond part; the message ends without a closing boundary.\r\n", {}},
        {"broken-base64.eml", "Broken base64", "Broken base64 still reads", {}},
        {"broken-quoted-printable.eml", "Broken quoted-printable",
         "Good \xe9 bad =ZZ cut =4\r\nsoft break and a lone = sign\r\nend", {}},
        {"broken-encoded-words.eml", "??[j? and caf\xe9", "Body after broken encoded words.\r\n", {}},
        {"8bit-unknown-charset.eml", "Gr\xfc\xdf" "e \x80 in 8 bits", "K\xe4se und \x80 5.\r\n", {}},
        {"nul-bytes.eml", "NUL bytes", "Beforeafter a NUL.\r\nAnotherline.\r\n", {}},
        {"bare-cr.eml", "Bare CR", "Old line ends, carriage returns only.\r\nSecond line.\r\n", {}},
        {"mixed-line-ends.eml", "Mixed line ends", "CRLF line\r\nLF line\r\nCR line\r\nlast\r\n", {}},
    };
}

class RobustnessTest : public ::testing::TestWithParam<Row> {};

TEST_P(RobustnessTest, ReadsAsAMailReaderShowsIt) {
    const Row& row = GetParam();
    std::string bytes = robustnessFile(row.file);
    std::time_t received = 0;
    Result<Message> m = parseMessage(bytes, ReadMode::Full, received);
    ASSERT_TRUE(m.ok()) << describe(m.status());
    EXPECT_EQ(m->subject, row.subject);
    EXPECT_EQ(m->body, row.body);
    std::vector<std::string> names;
    for (const Attachment& a : m->attachments) names.push_back(a.name);
    EXPECT_EQ(names, row.attachments);
    for (std::size_t i = 0; i < m->attachments.size(); ++i) EXPECT_TRUE(attachmentBytes(bytes, i).ok()) << i;
    Result<Message> headers = parseMessage(bytes, ReadMode::Headers, received);
    ASSERT_TRUE(headers.ok());
    EXPECT_EQ(headers->subject, row.subject);
    EXPECT_EQ(headers->attachments.size(), m->attachments.size());
}

INSTANTIATE_TEST_SUITE_P(Files, RobustnessTest, ::testing::ValuesIn(rows()),
                         [](const ::testing::TestParamInfo<Row>& row) {
                             std::string name = row.param.file;
                             name = name.substr(0, name.find('.'));
                             std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                             return name;
                         });

TEST(RobustnessTest, EveryCorpusFileHasARow) {
    std::vector<std::string> listed;
    for (const Row& r : rows()) listed.push_back(r.file);
    listed.push_back("binary-junk.eml");  // checked on its own below
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(test::filesIn(std::string(VESK_STORE_CORPORA) + "/robustness"), listed);
}

TEST(RobustnessTest, BinaryJunkIsItsBytesAsWindows1252WithoutNuls) {
    std::string bytes = robustnessFile("binary-junk.eml");
    std::time_t received = 0;
    Result<Message> m = parseMessage(bytes, ReadMode::Full, received);
    ASSERT_TRUE(m.ok());
    // What a reader shows is the file's bytes, one character each, NULs left out; line
    // ends become CR LF.
    std::string expected;
    for (char c : bytes)
        if (c != '\0') expected += c;
    EXPECT_EQ(m->body, toCrlf(expected));
    EXPECT_TRUE(m->attachments.empty());
}

TEST(RobustnessTest, MegabyteLinesReadWhole) {
    std::string bytes = test::megabyteLineMessage();
    std::time_t received = 0;
    Result<Message> m = parseMessage(bytes, ReadMode::Full, received);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(m->subject, "Long lines");
    EXPECT_EQ(m->body.size(), std::string("first line\r\n").size() + 2 * 1024 * 1024 + std::string("\r\nlast line\r\n").size());
    EXPECT_EQ(m->body.substr(m->body.size() - 13), "\r\nlast line\r\n");
}

TEST(RobustnessTest, ThousandsOfPartsAreAllRead) {
    std::string bytes = test::manyPartsMessage(5000);
    std::time_t received = 0;
    Result<Message> m = parseMessage(bytes, ReadMode::Full, received);
    ASSERT_TRUE(m.ok());
    ASSERT_EQ(m->attachments.size(), 500u);
    EXPECT_EQ(m->attachments.back().name, "file5000.bin");
    EXPECT_EQ(m->body.substr(0, 16), "part 1\r\npart 2\r\n");
    // The line end before a boundary belongs to the boundary.
    EXPECT_EQ(m->body.substr(m->body.size() - 20), "part 4998\r\npart 4999");
    EXPECT_EQ(*attachmentBytes(bytes, 499), "binary 5000");
}

TEST(RobustnessTest, DeepNestingIsReadToTheLimitThenAsText) {
    std::string bytes = test::deeplyNestedMessage(20000);
    std::time_t received = 0;
    Result<Message> m = parseMessage(bytes, ReadMode::Full, received);
    ASSERT_TRUE(m.ok());
    // The level past the limit is text: its boundary lines, the innermost text and the
    // closing boundaries of the levels below it.
    std::string firstTextLevel = "--n" + std::to_string(kMaxMimeDepth) + "\r\n";
    EXPECT_EQ(m->body.substr(0, firstTextLevel.size()), firstTextLevel);
    EXPECT_NE(m->body.find("innermost text\r\n"), std::string::npos);
    EXPECT_EQ(m->body.find("--n" + std::to_string(kMaxMimeDepth - 1) + "--"), std::string::npos);
}

TEST(RobustnessTest, GroupsNestedThousandsDeepRead) {
    std::string bytes = test::nestedGroupsMessage(30000);
    std::time_t received = 0;
    Result<Message> m = parseMessage(bytes, ReadMode::Full, received);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(m->subject, "Nested groups");
    EXPECT_EQ(m->body, "Text under a To field of groups in groups.\r\n");
    std::optional<std::string> mended = mendMessageShape(bytes);
    ASSERT_TRUE(mended);
    std::string to = mended->substr(mended->find("\nTo: "));
    to = to.substr(0, to.find('\n', 1));
    EXPECT_EQ(std::count(to.begin(), to.end(), ':'), 1 + 8) << "the field's own colon and eight groups";
}

TEST(RobustnessTest, SubjectOfUnendedEncodedWordsReadsAsWritten) {
    std::string bytes = test::unendedEncodedWordsMessage(20000);
    std::time_t received = 0;
    Result<Message> m = parseMessage(bytes, ReadMode::Headers, received);
    ASSERT_TRUE(m.ok());
    // The text stays what the sender wrote, with a blank before the starts past the sixteenth.
    std::string expected;
    for (int i = 0; i < 20000; ++i) expected += i < 16 ? "=?utf-8?q?a" : "= ?utf-8?q?a";
    EXPECT_EQ(m->subject, expected);
    m = parseMessage(bytes, ReadMode::Full, received);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(m->body, "Text under a subject of encoded words without end.\r\n");
}

// Mending is only paid for where it is needed: well-formed mail is parsed as it is.
TEST(RobustnessTest, WellFormedMessagesAreNotCopied) {
    for (const char* name : {"mixed-attachments.eml", "nested-alternative.eml", "forwarded-rfc822.eml",
                             "html-only.eml", "long-headers.eml"}) {
        EXPECT_FALSE(mendMessageShape(test::fixture(name)).has_value()) << name;
    }
}

// An attached message's own header is mended too, and counts as a nesting level.
TEST(RobustnessTest, AttachedMessageHeaderWithoutBlankLine) {
    std::string bytes =
        "Subject: outer\nContent-Type: multipart/mixed; boundary=o\n\n--o\nContent-Type: text/plain\n\nouter text\n"
        "--o\nContent-Type: message/rfc822\n\nSubject: inner\nthe inner text, no blank line\n--o--\n";
    std::optional<std::string> mended = mendMessageShape(bytes);
    ASSERT_TRUE(mended);
    EXPECT_NE(mended->find("Subject: inner\n\nthe inner text"), std::string::npos);
    std::time_t received = 0;
    Result<Message> m = parseMessage(bytes, ReadMode::Full, received);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(m->body, "outer text");
    ASSERT_EQ(m->attachments.size(), 1u);
    Result<std::string> inner = attachmentBytes(bytes, 0);
    ASSERT_TRUE(inner.ok());
    EXPECT_NE(inner->find("the inner text, no blank line"), std::string::npos);
}

}  // namespace
}  // namespace vesk::store::detail
