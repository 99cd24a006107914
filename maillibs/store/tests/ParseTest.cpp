// Every field of every corpus message, read through the parser.
#include "Parse.h"

#include <gtest/gtest.h>

#include <functional>

#include "TestSupport.h"

namespace vesk::store::detail {
namespace {

using test::fixture;

struct Attached {
    std::string name;
    std::string contentType;
    std::string bytes;  // the decoded content, compared exactly
};

struct Row {
    const char* file;
    Address from;
    std::vector<Address> to, cc, bcc;
    std::string subject;
    std::time_t sent;
    std::time_t receivedHeader;
    Priority priority;
    bool readReceipt;
    bool deliveryReport;
    std::string messageId;
    std::string body;  // Windows-1252, CR LF
    std::vector<Attached> attachments;
    std::function<void(const std::string& bytes, std::size_t index)> checkBytes = nullptr;  // instead of `bytes`
};

const std::string kPdf =
    "%PDF-1.4\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n2 0 obj\n<< /Type /Pages /Kids [] "
    "/Count 0 >>\nendobj\ntrailer\n<< /Root 1 0 R >>\n%%EOF\n";

std::string jpegBytes() {
    std::string s = "\xFF\xD8\xFF\xE0";
    s += std::string("\x00\x10", 2);
    s += std::string("JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 14);
    for (int i = 0; i < 256; ++i) s += static_cast<char>(i);
    s += "\xFF\xD9";
    return s;
}

std::vector<Address> hundredsOfUsers() {
    std::vector<Address> out;
    char name[32], addr[64];
    for (int i = 1; i <= 300; ++i) {
        std::snprintf(name, sizeof name, "User %03d", i);
        std::snprintf(addr, sizeof addr, "user%03d@example.org", i);
        out.push_back({name, addr});
    }
    return out;
}

std::string longSubject() {
    std::string s = "This subject is deliberately long";
    char word[16];
    for (int i = 0; i < 120; ++i) {
        std::snprintf(word, sizeof word, " word%03d", i);
        s += word;
    }
    return s;
}

const Address kTom{"", "tom.keller@example.org"};

std::vector<Row> rows() {
    return {
        // multipart/mixed: a quoted-printable UTF-8 body with dashes, euro and curly quotes,
        // two base64 attachments; X-Priority 1; two Received headers (the top one counts).
        {"mixed-attachments.eml", {"Anna Berger", "anna.berger@example.com"},
         {{"Tom Keller", "tom.keller@example.org"}, {"Lee, Sam", "sam.lee@example.org"}},
         {{"", "office@example.org"}}, {}, "Quarterly report and photos", 1678781738, 1678781742,
         Priority::High, true, false, "20230314081540.1122334455@mail.example.com",
         "Hi Tom,\r\n\r\nthe report for Q1 is attached \x96 revenue is up to \x80" "1.2m.\r\n"
         "\x93Good work\x94, says the board.\r\n\r\nAnna\r\n",
         {{"report-q1.pdf", "application/pdf", kPdf}, {"team.jpg", "image/jpeg", jpegBytes()}}},
        // mixed > alternative(plain, related(html, png)) + csv: the plain branch is the body,
        // the related branch's image is not an attachment; Importance low.
        {"nested-alternative.eml", {"Newsletter Team", "news@example.net"}, {kTom}, {}, {}, "February news",
         1675288919, 1675288923, Priority::Low, false, false, "feb-news-2023@example.net",
         "February news in plain text.\r\nSee the attached price list.\r\n",
         {{"prices.csv", "text/csv", "item,price\npen,1.20\npad,3.50\n"}}},
        // RFC 2047 (Q and B, two charsets, adjacent words) and RFC 2231 (UTF-8, continued
        // ISO-8859-1 parts) names; an RFC 2047 encoded filename as some clients write it.
        {"encoded-names.eml", {"J\xfcrgen M\xfcller", "juergen.mueller@example.de"},
         {{"\xc9lodie Dupont", "elodie@example.fr"}}, {}, {}, "Gr\xfc\xdf" "e aus K\xf6ln \x96 Pl\xe4ne",
         1699617600, 0, Priority::Normal, false, false, "names-1@example.de",
         "Three attachments with encoded names.",
         {{"Preis\xfc" "bersicht \x80.pdf", "application/pdf", "PDF-1"},
          {"Sehr lange Dateibezeichnung f\xfcr Tests.txt", "text/plain", "Inhalt"},
          {"R\xe9sum\xe9.doc", "application/octet-stream", "DOC"}}},
        // A quoted-printable ISO-8859-1 body with soft line breaks and "=3D"; Priority: urgent.
        {"quoted-printable.eml", {"Marie Curie", "marie@example.fr"}, {{"Pierre", "pierre@example.fr"}}, {}, {},
         "Soft line breaks", 1672644600, 0, Priority::High, false, false, "qp-1@example.fr",
         "Ce message est cod\xe9 en quoted-printable avec une tr\xe8s longue ligne qui est coup\xe9" "e par des "
         "sauts de ligne doux.\r\nDeuxi\xe8me ligne: \xa3 5, \xb0" "C, = signe \xe9gal.\r\n",
         {}},
        // Base64 UTF-8 with Greek and an emoji: each character Windows-1252 lacks is one '?'.
        {"base64-utf8.eml", {"Nikos", "nikos@example.gr"}, {kTom}, {}, {}, "???? ???", 1689448205, 0, Priority::Low,
         false, false, "b64-1@example.gr", "???? ??? ????? \x96 emoji ? and \x80 kept.\r\n", {}},
        // An 8-bit Windows-1252 body: euro, en dash, curly quotes and the ellipsis survive.
        {"windows-1252.eml", {"Shop", "shop@example.de"}, {kTom}, {}, {}, "Offer", 1696507200, 0, Priority::Normal,
         false, false, "cp1252-1@example.de",
         "Price: \x80 30 \x96 \x93special\x94 offer\x85\r\nZweite Zeile: \xfc" "ber \xc4rger.\r\n", {}},
        // ISO-8859-1 body; raw 8-bit Latin-1 in From; Return-Receipt-To asks for a report.
        {"iso-8859-1.eml", {"Caf\xe9 Team", "cafe@example.fr"}, {kTom}, {}, {}, "Caf\xe9", 1700553600, 0,
         Priority::Normal, false, true, "latin1-1@example.fr",
         "Bonjour \xe0 tous, voil\xe0 le caf\xe9 \xab cr\xe8me \xbb.\r\n\xa9 2023\r\n", {}},
        // No charset on the body and raw UTF-8 in the headers: taken as UTF-8.
        {"unlabelled-utf8.eml", {"Zo\xeb Smith", "zoe@example.co.uk"}, {kTom}, {}, {},
         "Caf\xe9 opening \x96 raw UTF-8 header", 1701888300, 0, Priority::Normal, false, false,
         "raw-utf8-1@example.co.uk", "Na\xefve caf\xe9 owners say \x93hello\x94.\r\n", {}},
        // No MIME headers at all, Windows-1252 bytes in body and headers.
        {"unlabelled-8bit.eml", {"M\xfcller GmbH", "info@example.de"}, {kTom}, {}, {},
         "Gr\xf6\xdf" "e \x96 raw Windows-1252 header", 1701889200, 0, Priority::Normal, false, false,
         "raw-8bit-1@example.de",
         "No MIME headers at all; the bytes are Windows-1252: Gr\xfc\xdf" "e, \x84Zitat\x93 und 5 \x80.\r\n", {}},
        // Labelled UTF-8, written in Windows-1252: no byte is lost.
        {"mislabelled-utf8.eml", {"Old Client", "old@example.com"}, {kTom}, {}, {}, "Mislabelled body", 1701934200, 0,
         Priority::Normal, false, false, "mislabel-1@example.com",
         "Labelled UTF-8 but written in Windows-1252: d\xe9j\xe0 vu \x96 \x80" "9.\r\n", {}},
        // HTML only: head, style and script dropped; paragraphs, <br>, list, table, entities.
        {"html-only.eml", {"Bookings", "bookings@example.com"}, {{"Tom Keller", "tom.keller@example.org"}}, {}, {},
         "Your booking", 1702026000, 0, Priority::Normal, false, false, "html-1@example.com",
         "Booking confirmed\r\n\r\nDear Tom,\r\nyour room is booked\xa0& paid: \x80" "120.\r\n\r\n"
         "- Check-in: 14:00\r\n- Check-out: 11:00\r\n\r\nRoom\t12\r\nFloor\t3\r\n\r\nSee you soon \x97 the team",
         {}},
        // No Date and no Received: both times stay 0 here (the store falls back further).
        {"missing-date.eml", {"", "cron@example.org"}, {kTom}, {}, {}, "Nightly job finished", 0, 0,
         Priority::Normal, false, false, "nodate-1@example.org", "The nightly job finished without errors.\r\n",
         {}},
        // A subject folded over many lines, a 1200-character header line, long References.
        {"long-headers.eml", {"Long Lines", "long@example.org"}, {kTom}, {}, {}, longSubject(), 1702206671, 0,
         Priority::Normal, false, false, "long-1@example.org", "Short body.\r\n", {}},
        // 300 To recipients folded one per line, and a Bcc.
        {"many-recipients.eml", {"Announcements", "announce@example.org"}, hundredsOfUsers(), {},
         {{"", "hidden@example.org"}}, "All hands", 1702285200, 0, Priority::Normal, false, false,
         "many-1@example.org", "All hands meeting at ten.\r\n", {}},
        // A forwarded message as a message/rfc822 attachment.
        {"forwarded-rfc822.eml", {"Anna Berger", "anna.berger@example.com"}, {kTom}, {}, {}, "Fwd: Original question",
         1702373400, 0, Priority::Normal, false, true, "fwd-1@example.com", "See below.",
         {{"question.eml", "message/rfc822", ""}},
         [](const std::string& bytes, std::size_t) {
             EXPECT_NE(bytes.find("Subject: Original question"), std::string::npos);
             EXPECT_NE(bytes.find("Is the meeting still on?"), std::string::npos);
         }},
        // ISO-8859-15 goes through iconv: its euro and OE ligatures land on Windows-1252's.
        {"iso-8859-15.eml", {"Kasse", "kasse@example.de"}, {kTom}, {}, {}, "Beleg", 1702469593, 0, Priority::Normal,
         false, false, "latin9-1@example.de", "Summe: 12,50 \x80 (\x8c \x9c \x9f).\r\n", {}},
    };
}

class CorpusTest : public ::testing::TestWithParam<Row> {};

TEST_P(CorpusTest, EveryField) {
    const Row& row = GetParam();
    std::string bytes = fixture(row.file);
    ASSERT_FALSE(bytes.empty());
    std::time_t received = -1;
    Result<Message> m = parseMessage(bytes, ReadMode::Full, received);
    ASSERT_TRUE(m.ok()) << describe(m.status());
    EXPECT_EQ(m->from, row.from);
    EXPECT_EQ(m->to, row.to);
    EXPECT_EQ(m->cc, row.cc);
    EXPECT_EQ(m->bcc, row.bcc);
    EXPECT_EQ(m->subject, row.subject);
    EXPECT_EQ(m->sent, row.sent);
    EXPECT_EQ(received, row.receivedHeader);
    EXPECT_EQ(m->priority, row.priority);
    EXPECT_EQ(m->readReceipt, row.readReceipt);
    EXPECT_EQ(m->deliveryReport, row.deliveryReport);
    EXPECT_EQ(m->messageId, row.messageId);
    EXPECT_EQ(m->body, row.body);
    ASSERT_EQ(m->attachments.size(), row.attachments.size());
    for (std::size_t i = 0; i < row.attachments.size(); ++i) {
        SCOPED_TRACE("attachment " + std::to_string(i));
        EXPECT_EQ(m->attachments[i].name, row.attachments[i].name);
        EXPECT_EQ(m->attachments[i].contentType, row.attachments[i].contentType);
        Result<std::string> content = attachmentBytes(bytes, i);
        ASSERT_TRUE(content.ok());
        if (row.checkBytes) row.checkBytes(*content, i);
        else EXPECT_EQ(*content, row.attachments[i].bytes);
    }
    EXPECT_EQ(attachmentBytes(bytes, row.attachments.size()).status(), Status::NotFound);
}

TEST_P(CorpusTest, HeadersModeKeepsEverythingButTheBody) {
    const Row& row = GetParam();
    std::string bytes = fixture(row.file);
    std::time_t received = -1;
    Result<Message> m = parseMessage(bytes, ReadMode::Headers, received);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(m->body, "");
    EXPECT_EQ(m->subject, row.subject);
    EXPECT_EQ(m->from, row.from);
    EXPECT_EQ(m->to.size(), row.to.size());
    EXPECT_EQ(m->sent, row.sent);
    EXPECT_EQ(m->priority, row.priority);
    EXPECT_EQ(m->attachments.size(), row.attachments.size());
}

INSTANTIATE_TEST_SUITE_P(Messages, CorpusTest, ::testing::ValuesIn(rows()),
                         [](const ::testing::TestParamInfo<Row>& param) {
                             std::string name = param.param.file;
                             name = name.substr(0, name.find('.'));
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });

TEST(ParseTest, BytesWithoutAHeaderAreTheBody) {
    std::time_t received = 0;
    Result<Message> m = parseMessage("just some words\n", ReadMode::Full, received);
    ASSERT_TRUE(m.ok()) << describe(m.status());
    EXPECT_EQ(m->body, "just some words\r\n");
    EXPECT_EQ(attachmentBytes("just some words\n", 0).status(), Status::NotFound);
}

TEST(ParseTest, AnEmptyHeaderStillGivesTheBody) {
    std::time_t received = 0;
    Result<Message> m = parseMessage("\nonly a body\n", ReadMode::Full, received);
    ASSERT_TRUE(m.ok()) << describe(m.status());
    EXPECT_EQ(m->body, "only a body\r\n");
    EXPECT_EQ(m->sent, 0);
}

TEST(ParseTest, TextOfTwoInlinePartsIsJoinedOnSeparateLines) {
    std::string bytes =
        "Content-Type: multipart/mixed; boundary=b\n\n--b\nContent-Type: text/plain\n\nfirst\n--b\n"
        "Content-Type: text/plain\n\nsecond\n--b--\n";
    std::time_t received = 0;
    Result<Message> m = parseMessage(bytes, ReadMode::Full, received);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(m->body, "first\r\nsecond");
    EXPECT_TRUE(m->attachments.empty());
}

TEST(ParseTest, NamelessNonTextPartIsAnAttachmentWithoutName) {
    std::string bytes =
        "Content-Type: multipart/mixed; boundary=b\n\n--b\nContent-Type: text/plain\n\nhi\n--b\n"
        "Content-Type: image/gif\nContent-Transfer-Encoding: base64\n\nR0lGODlh\n--b--\n";
    std::time_t received = 0;
    Result<Message> m = parseMessage(bytes, ReadMode::Full, received);
    ASSERT_TRUE(m.ok());
    ASSERT_EQ(m->attachments.size(), 1u);
    EXPECT_EQ(m->attachments[0].name, "");
    EXPECT_EQ(m->attachments[0].contentType, "image/gif");
    EXPECT_EQ(*attachmentBytes(bytes, 0), "GIF89a");
}

}  // namespace
}  // namespace vesk::store::detail
