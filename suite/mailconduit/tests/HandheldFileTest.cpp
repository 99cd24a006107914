#include "handheld/HandheldFile.h"

#include <gtest/gtest.h>

#include "TestDesktop.h"

namespace conduit {
namespace {

Handheld sample() {
    Handheld h;
    h.plugin = "salvith";
    h.lastSync = "1700000000-42-abcdef01";
    HandheldMessage in;
    in.id = 3;
    // Identifiers are opaque bytes: NULs and high bytes must survive.
    in.record.hostMsgId = std::string("\x01\x00\xff\x80id", 6);
    in.record.extraId2 = "x";
    in.record.extraWord = 7;
    in.record.timeSent = 1700000000;
    in.record.timeReceived = 1700000060;
    in.record.size = 12;
    in.record.extraLong = 0xdeadbeef;
    in.record.status = 0x8480;
    in.record.flags = 0x822A0000;
    in.record.from = "j\xf6rg@example.de (J\xf6rg M\xfcller)";  // Windows-1252
    in.record.subject = "Caf\xe9 \x80 5";                       // e-acute and the euro sign
    in.record.body = "line one\r\nline two\r\n";
    in.read = true;
    in.desktopRead = false;
    in.priority = kPriorityHigh;
    in.deleted = true;
    h.inbox.push_back(in);
    HandheldMessage out;
    out.id = 5;
    out.record.to = "a@example.org, b@example.org";
    out.readReceipt = true;
    out.unsure = true;
    out.priority = out.desktopPriority = kPriorityLow;
    out.read = out.desktopRead = true;
    h.outbox.push_back(out);
    h.nextId = 6;
    return h;
}

TEST(HandheldFileTest, RoundTripKeepsEveryField) {
    Handheld h = sample();
    std::string json = handheldToJson(h);
    Handheld back;
    ASSERT_FALSE(handheldFromJson(json, back));
    EXPECT_EQ(back, h);
    // The file is for people too: texts are UTF-8, not escaped bytes.
    EXPECT_NE(json.find("Caf\xc3\xa9 \xe2\x82\xac 5"), std::string::npos);
}

TEST(HandheldFileTest, NextIdNeverFallsBehindTheMessages) {
    Handheld h = sample();
    h.nextId = 2;  // e.g. edited by hand
    Handheld back;
    ASSERT_FALSE(handheldFromJson(handheldToJson(h), back));
    EXPECT_EQ(back.nextId, 6u);
}

TEST(HandheldFileTest, DamagedFilesAreRefusedAndLeaveTheHandheldAlone) {
    const struct {
        const char* label;
        const char* text;
    } rows[] = {
        {"not JSON", "{\"format\": 1, "},
        {"not an object", "[1, 2]"},
        {"unknown format", "{\"format\": 2}"},
        {"identifier not base64", R"({"format":1,"inbox":[{"id":1,"record":{"hostMsgId":"%%%"}}]})"},
        {"number used twice", R"({"format":1,"inbox":[{"id":1,"record":{}}],"outbox":[{"id":1,"record":{}}]})"},
        {"number zero", R"({"format":1,"inbox":[{"id":0,"record":{}}]})"},
        {"priority out of range", R"({"format":1,"inbox":[{"id":1,"record":{},"priority":7}]})"},
        {"text of the wrong type", R"({"format":1,"inbox":[{"id":1,"record":{"subject":5}}]})"},
        {"size too large for its field", R"({"format":1,"inbox":[{"id":1,"record":{"size":4294967296}}]})"},
        {"negative size", R"({"format":1,"inbox":[{"id":1,"record":{"size":-1}}]})"},
        {"fractional time", R"({"format":1,"inbox":[{"id":1,"record":{"timeSent":1.5}}]})"},
        {"number beyond every integer", R"({"format":1,"inbox":[{"id":1e300,"record":{}}]})"},
        {"format as a float", "{\"format\": 1e300}"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        Handheld h = sample();
        EXPECT_TRUE(handheldFromJson(row.text, h).has_value());
        EXPECT_EQ(h, sample());
    }
}

TEST(HandheldFileTest, MissingFileIsAnEmptyHandheldAndSaveCreatesTheFolder) {
    test::TempDesktop desktop;
    std::string path = desktop.path() + "/conduit/deeper/handheld.json";
    Handheld h = sample();
    ASSERT_FALSE(loadHandheld(path, h));
    EXPECT_EQ(h, Handheld());
    ASSERT_FALSE(saveHandheld(path, sample()));
    ASSERT_FALSE(loadHandheld(path, h));
    EXPECT_EQ(h, sample());
}

}  // namespace
}  // namespace conduit
