#include "framework/Archive.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

#include "framework/Msg.h"

namespace {

std::vector<uint8_t> archived(const std::string& s) {
    CArchive ar;
    ar.WriteString(s);
    return ar.Bytes();
}

// Length prefixes: 1 byte below 255, 3 bytes below 0xFFFE, 7 bytes from there on.
struct PrefixRow {
    size_t length;
    std::vector<uint8_t> prefix;
};

class ArchiveStringPrefix : public ::testing::TestWithParam<PrefixRow> {};

TEST_P(ArchiveStringPrefix, WritesAndReadsBack) {
    const PrefixRow& row = GetParam();
    const std::string text(row.length, 'x');
    const std::vector<uint8_t> bytes = archived(text);
    ASSERT_EQ(bytes.size(), row.prefix.size() + row.length);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + row.prefix.size()), row.prefix);
    CArchive in(bytes.data(), bytes.size());
    std::string back;
    ASSERT_TRUE(in.ReadString(back));
    EXPECT_EQ(back, text);
    EXPECT_EQ(in.Remaining(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, ArchiveStringPrefix, ::testing::Values(
    PrefixRow{0, {0x00}},
    PrefixRow{254, {0xFE}},                                   // the longest 1-byte prefix
    PrefixRow{255, {0xFF, 0xFF, 0x00}},                       // first 3-byte prefix
    PrefixRow{0xFFFD, {0xFF, 0xFD, 0xFF}},                    // the longest 3-byte prefix
    PrefixRow{0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},  // 0xFFFE is the Unicode marker, so 7 bytes
    PrefixRow{0x10000, {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}}));

TEST(ArchiveTest, ReadsUtf16StringsNarrowed) {
    const std::vector<uint8_t> bytes = {0xFF, 0xFE, 0xFF, 3, 'a', 0, 0xE9, 0, 0x3B, 0x04};
    CArchive in(bytes.data(), bytes.size());
    std::string s;
    ASSERT_TRUE(in.ReadString(s));
    EXPECT_EQ(s, "a\xE9?");
}

CMsg sampleMsg() {
    CMsg m;
    m.m_extraId1.Set("e1", 2);
    m.m_hostMsgId.Set("host-id\0", 8);
    m.m_extraWord = 0x1234;
    m.m_timeSent = -5;
    m.m_timeReceived = 944000000;
    m.m_size = 17;
    m.m_extraLong = 0xCAFEBABE;
    m.m_status = 0x8480;
    m.m_flags = 0x822A0000u;
    m.m_from = "me@example.org (Me)";
    m.m_to = "you@example.org";
    m.m_subject = std::string(300, 's');
    m.m_body = "line one\r\nline two";
    m.m_attachments = "\ta.txt\n\tb.pdf";
    return m;
}

void expectSame(const CMsg& a, const CMsg& b) {
    EXPECT_EQ(a.m_extraId1.Size(), b.m_extraId1.Size());
    ASSERT_EQ(a.m_hostMsgId.Size(), b.m_hostMsgId.Size());
    EXPECT_EQ(std::memcmp(a.m_hostMsgId.Data(), b.m_hostMsgId.Data(), a.m_hostMsgId.Size()), 0);
    EXPECT_TRUE(b.m_extraId2.IsEmpty());
    EXPECT_EQ(a.m_extraWord, b.m_extraWord);
    EXPECT_EQ(a.m_timeSent, b.m_timeSent);
    EXPECT_EQ(a.m_timeReceived, b.m_timeReceived);
    EXPECT_EQ(a.m_size, b.m_size);
    EXPECT_EQ(a.m_extraLong, b.m_extraLong);
    EXPECT_EQ(a.m_status, b.m_status);
    EXPECT_EQ(a.m_flags, b.m_flags);
    EXPECT_EQ(a.m_from, b.m_from);
    EXPECT_EQ(a.m_to, b.m_to);
    EXPECT_EQ(a.m_subject, b.m_subject);
    EXPECT_EQ(a.m_body, b.m_body);
    EXPECT_EQ(a.m_attachments, b.m_attachments);
}

TEST(ArchiveTest, MsgMembersInOrder) {
    CMsg m;
    m.m_hostMsgId.Set("AB", 2);
    m.m_subject = "hi";
    CArchive ar;
    m.Serialize(ar);
    const std::vector<uint8_t> expected = {
        0, 0, 0, 0,                     // extraId1: size 0
        2, 0, 0, 0, 'A', 'B',           // hostMsgId
        0, 0, 0, 0,                     // extraId2
        0, 0,                           // extraWord
        0, 0, 0, 0, 0, 0, 0, 0,         // times
        0, 0, 0, 0, 0, 0, 0, 0,         // size, extraLong
        0x00, 0x04,                     // status 0x0400
        0x00, 0x00, 0x2A, 0x00,         // flags 0x002A0000
        0, 0, 0, 0, 0, 0, 2, 'h', 'i', 0, 0};  // from..extraText2 empty, subject, body, attachments
    EXPECT_EQ(ar.Bytes(), expected);
}

TEST(ArchiveTest, ObjectsRoundTripBehindClassTags) {
    CMsg first = sampleMsg();
    CMsg second;
    second.m_body = "second";
    CId id("xyz", 3);
    CArchive ar;
    ar.WriteObject(&first);
    ar.WriteObject(&second);
    ar.WriteObject(nullptr);
    ar.WriteObject(&id);
    const std::vector<uint8_t>& bytes = ar.Bytes();
    // The first object carries the new-class tag, schema 1 and the class name.
    const std::vector<uint8_t> head = {0xFF, 0xFF, 1, 0, 4, 0, 'C', 'M', 's', 'g'};
    ASSERT_GE(bytes.size(), head.size());
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + head.size()), head);

    CArchive in(bytes.data(), bytes.size());
    bool ok = false;
    std::unique_ptr<CObject> a(in.ReadObject(&ok));
    ASSERT_TRUE(ok);
    std::unique_ptr<CObject> b(in.ReadObject(&ok));
    ASSERT_TRUE(ok);
    std::unique_ptr<CObject> none(in.ReadObject(&ok));
    EXPECT_TRUE(ok);
    EXPECT_EQ(none, nullptr);
    std::unique_ptr<CObject> c(in.ReadObject(&ok));
    ASSERT_TRUE(ok);
    EXPECT_EQ(in.Remaining(), 0u);
    ASSERT_EQ(a->GetRuntimeClass(), &CMsg::classCMsg);
    expectSame(first, *static_cast<CMsg*>(a.get()));
    EXPECT_EQ(static_cast<CMsg*>(b.get())->m_body, "second");
    ASSERT_EQ(c->GetRuntimeClass(), &CId::classCId);
    EXPECT_EQ(static_cast<CId*>(c.get())->Size(), 3u);
}

TEST(ArchiveTest, SchemaZeroReadsNothing) {
    // A CMsg archived with schema 0 has no member data behind its tag.
    const std::vector<uint8_t> bytes = {0xFF, 0xFF, 0, 0, 4, 0, 'C', 'M', 's', 'g', 0xAA};
    CArchive in(bytes.data(), bytes.size());
    bool ok = false;
    std::unique_ptr<CObject> obj(in.ReadObject(&ok));
    ASSERT_TRUE(ok);
    auto* m = static_cast<CMsg*>(obj.get());
    EXPECT_EQ(m->m_status, CMsg::kDefaultStatus);
    EXPECT_EQ(in.Remaining(), 1u);
}

TEST(ArchiveTest, UnknownClassAndObjectReferencesAreRefused) {
    const std::vector<uint8_t> unknown = {0xFF, 0xFF, 1, 0, 4, 0, 'C', 'F', 'o', 'o'};
    CArchive in(unknown.data(), unknown.size());
    bool ok = true;
    EXPECT_EQ(in.ReadObject(&ok), nullptr);
    EXPECT_FALSE(ok);
    const std::vector<uint8_t> classRef = {0x01, 0x80};  // class 1 was never announced
    CArchive in2(classRef.data(), classRef.size());
    EXPECT_EQ(in2.ReadObject(&ok), nullptr);
    EXPECT_FALSE(ok);
}

TEST(ArchiveTest, LyingLengthsFailWithoutReadingOrAllocating) {
    // A string announcing 4 GiB, and an identifier announcing 4 GiB, in a few bytes.
    const std::vector<uint8_t> hugeString = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a'};
    CArchive in(hugeString.data(), hugeString.size());
    std::string s = "kept";
    EXPECT_FALSE(in.ReadString(s));
    EXPECT_EQ(s, "kept");
    EXPECT_EQ(in.Remaining(), hugeString.size());  // nothing consumed by a failed read

    const std::vector<uint8_t> hugeId = {0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3};
    CArchive in2(hugeId.data(), hugeId.size());
    CId id("old", 3);
    EXPECT_FALSE(id.Serialize(in2));
    EXPECT_TRUE(id.IsEmpty());
}

TEST(ArchiveTest, EveryTruncationOfAValidArchiveFailsCleanly) {
    CMsg m = sampleMsg();
    CArchive ar;
    ar.WriteObject(&m);
    const std::vector<uint8_t> full = ar.Bytes();
    for (size_t cut = 0; cut < full.size(); ++cut) {
        // A fresh copy of exactly `cut` bytes, so the sanitizer sees any read past the end.
        std::vector<uint8_t> part(full.begin(), full.begin() + cut);
        CArchive in(part.data(), part.size());
        bool ok = true;
        std::unique_ptr<CObject> obj(in.ReadObject(&ok));
        EXPECT_FALSE(ok) << "cut at " << cut;
        EXPECT_EQ(obj, nullptr);
    }
}

TEST(ArchiveTest, RandomBytesNeverCrash) {
    std::mt19937 rng(20261208);
    CMsg m = sampleMsg();
    CArchive ar;
    ar.WriteObject(&m);
    const std::vector<uint8_t> valid = ar.Bytes();
    int loaded = 0;
    for (int round = 0; round < 4000; ++round) {
        std::vector<uint8_t> bytes;
        if (round % 2 == 0) {
            // Mutations of a valid archive reach deep into the member data.
            bytes = valid;
            const int flips = 1 + static_cast<int>(rng() % 6);
            for (int f = 0; f < flips; ++f) bytes[rng() % bytes.size()] = static_cast<uint8_t>(rng());
            bytes.resize(rng() % (bytes.size() + 1));
        } else {
            bytes.resize(rng() % 64);
            for (auto& b : bytes) b = static_cast<uint8_t>(rng());
        }
        CArchive in(bytes.data(), bytes.size());
        bool ok = false;
        std::unique_ptr<CObject> obj(in.ReadObject(&ok));
        if (ok && obj) ++loaded;
        EXPECT_LE(in.Remaining(), bytes.size());
    }
    // Some mutations only touch values, so some archives must still load.
    EXPECT_GT(loaded, 0);
}

}  // namespace
