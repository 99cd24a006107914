// Fingerprints: every field a row holds moves exactly one of the two hashes, and texts that
// only trade bytes with their neighbours are still told apart.
#include "handheld/Fingerprint.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace conduit {
namespace {

HandheldMessage base() {
    HandheldMessage m;
    m.id = 12;
    m.record.hostMsgId = "1700000000.M1P2.host";
    m.record.from = "ann@example.org";
    m.record.subject = "Lunch";
    m.record.to = "bob@example.org";
    m.record.body = "At noon?\r\n";
    m.record.attachments = "menu.pdf";
    return m;
}

struct Edit {
    const char* what;
    std::function<void(HandheldMessage&)> apply;
    bool movesFields, movesTexts;
};

TEST(Fingerprint, EachFieldMovesItsOwnHash) {
    const Edit edits[] = {
        {"read on the handheld", [](HandheldMessage& m) { m.read = true; }, true, false},
        {"priority", [](HandheldMessage& m) { m.priority = kPriorityLow; }, true, false},
        {"deleted", [](HandheldMessage& m) { m.deleted = true; }, true, false},
        {"read receipt", [](HandheldMessage& m) { m.readReceipt = true; }, true, false},
        {"delivery report", [](HandheldMessage& m) { m.deliveryReport = true; }, true, false},
        {"desktop read", [](HandheldMessage& m) { m.desktopRead = true; }, true, false},
        {"desktop priority", [](HandheldMessage& m) { m.desktopPriority = kPriorityHigh; }, true, false},
        {"unsure", [](HandheldMessage& m) { m.unsure = true; }, true, false},
        {"host identifier", [](HandheldMessage& m) { m.record.hostMsgId += "x"; }, true, false},
        {"extra identifier 1", [](HandheldMessage& m) { m.record.extraId1 = std::string("\0", 1); }, true, false},
        {"extra identifier 2", [](HandheldMessage& m) { m.record.extraId2 = "2"; }, true, false},
        {"extra word", [](HandheldMessage& m) { m.record.extraWord = 1; }, true, false},
        {"time sent (negative)", [](HandheldMessage& m) { m.record.timeSent = -1; }, true, false},
        {"time received", [](HandheldMessage& m) { m.record.timeReceived = 1; }, true, false},
        {"size", [](HandheldMessage& m) { m.record.size = 99; }, true, false},
        {"extra long", [](HandheldMessage& m) { m.record.extraLong = 3; }, true, false},
        {"status", [](HandheldMessage& m) { m.record.status ^= 0x8000; }, true, false},
        {"flags", [](HandheldMessage& m) { m.record.flags ^= 1u << 25; }, true, false},
        {"sender", [](HandheldMessage& m) { m.record.from = "ann@example.com"; }, true, false},
        {"subject", [](HandheldMessage& m) { m.record.subject = "Lunch!"; }, true, false},
        {"extra text 1", [](HandheldMessage& m) { m.record.extraText1 = "x"; }, true, false},
        {"extra text 2", [](HandheldMessage& m) { m.record.extraText2 = "y"; }, true, false},
        {"to", [](HandheldMessage& m) { m.record.to += ", cy@example.org"; }, false, true},
        {"cc", [](HandheldMessage& m) { m.record.cc = "dee@example.org"; }, false, true},
        {"bcc", [](HandheldMessage& m) { m.record.bcc = "eve@example.org"; }, false, true},
        {"one byte of the body", [](HandheldMessage& m) { m.record.body[3] = 'N'; }, false, true},
        {"the body's length only", [](HandheldMessage& m) { m.record.body += '\0'; }, false, true},
        {"attachments", [](HandheldMessage& m) { m.record.attachments.clear(); }, false, true},
    };
    const Fingerprint before = fingerprintOf(base());
    for (const Edit& edit : edits) {
        SCOPED_TRACE(edit.what);
        HandheldMessage m = base();
        edit.apply(m);
        Fingerprint after = fingerprintOf(m);
        EXPECT_EQ(after.fields != before.fields, edit.movesFields);
        EXPECT_EQ(after.texts != before.texts, edit.movesTexts);
    }
}

TEST(Fingerprint, TheNumberIsNotPartOfIt) {
    HandheldMessage other = base();
    other.id = 13;
    EXPECT_EQ(fingerprintOf(other), fingerprintOf(base()));
}

TEST(Fingerprint, BytesMovedBetweenTextsAreAChange) {
    // The same bytes in total, split differently between the texts.
    const std::string splits[][5] = {
        {"ab", "", "", "", ""},
        {"a", "b", "", "", ""},
        {"", "ab", "", "", ""},
        {"", "", "a", "b", ""},
        {"", "", "", "ab", ""},
        {"", "", "", "a", "b"},
        {"", "", "", "", "ab"},
    };
    std::set<std::uint64_t> seen;
    for (const auto& s : splits) seen.insert(textsHash(s[0], s[1], s[2], s[3], s[4]));
    EXPECT_EQ(seen.size(), std::size(splits));
}

TEST(Fingerprint, LongTextsDifferingInTheirLastWordsDiffer) {
    // Texts longer than one step of the hash, changed past the first step and in the tail.
    std::string body(1000, 'q');
    std::set<std::uint64_t> seen;
    for (std::size_t at : {std::size_t{0}, std::size_t{8}, std::size_t{991}, std::size_t{999}}) {
        std::string changed = body;
        changed[at] = 'r';
        seen.insert(textsHash("", "", "", changed, ""));
    }
    seen.insert(textsHash("", "", "", body, ""));
    EXPECT_EQ(seen.size(), 5u);
    RecordFields record;
    record.body = body;
    EXPECT_EQ(textsHash(record), textsHash("", "", "", body, ""));
}

TEST(Fingerprint, ReleasedTextsGiveTheirMemoryBackAndKeepTheirHash) {
    HandheldMessage m = base();
    m.record.body = std::string(100000, 'b');
    m.record.cc = std::string(1000, 'c');
    const Fingerprint before = fingerprintOf(m);
    releaseTexts(m);
    EXPECT_TRUE(m.textsReleased);
    EXPECT_EQ(fingerprintOf(m), before);
    for (const std::string* text : {&m.record.to, &m.record.cc, &m.record.bcc, &m.record.body, &m.record.attachments}) {
        EXPECT_TRUE(text->empty());
        EXPECT_LT(text->capacity(), 100u) << "the memory of a released text stays taken";
    }
    EXPECT_EQ(m.record.subject, "Lunch") << "what a light row keeps stays";
    releaseTexts(m);
    EXPECT_EQ(fingerprintOf(m), before) << "releasing twice changes nothing";
}

}  // namespace
}  // namespace conduit
