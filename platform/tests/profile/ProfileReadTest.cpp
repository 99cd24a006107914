// Reading profile files: one row per reading behaviour of Windows, run over a file with CR LF,
// bare CR and bare LF line endings (Windows reads all three alike).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "home/TempHome.h"
#include "win32/Module.h"
#include "win32/Profile.h"

namespace {

using vesk::test::TempHome;
using vesk::test::visible;

constexpr unsigned char kMarker = 0xCC;
constexpr DWORD kBig = 200;

// The lines of the sample file, joined with the line ending under test.
const std::vector<std::string> kSampleLines = {
    "key=before_section",
    "[section1]",
    "name1=val1",
    "name2=\"val2\"",
    "name3",
    "name4=a",
    "[section2]",
    " ; comment=hidden",
    "  spaced \t=  padded value \t\v",
    "quoted2='single'",
    "mism=\"x'",
    "inner=''x''",
    "keepblanks=\"  both  \"",
    "trail=b ;c",
    "hash=#not comment",
    "dup=first",
    "dup=second",
    "NaMe5=MiXed",
    "=no_key",
    "\t[ Padded Section ]tail ignored",
    "k=v",
    "[section1]",
    "late=only in the duplicate",
    "[]",
    "empty=section",
    "[unterminated",
    "u=1",
};

struct ReadRow {
    const char* what;
    const char* section;
    const char* key;
    const char* fallback;
    DWORD size;
    DWORD result;
    std::string written;  // every byte the call must write; the rest keeps the marker
};

const ReadRow kReadRows[] = {
    // A plain hit returns the value and its length.
    {"hit", "section1", "name1", "default", kBig, 4, std::string("val1\0", 5)},
    // One pair of matching double quotes is removed.
    {"double quotes removed", "section1", "name2", "default", kBig, 4, std::string("val2\0", 5)},
    // A line without '=' is no key: the default comes back.
    {"line without equals", "section1", "name3", "default", kBig, 7, std::string("default\0", 8)},
    {"missing key", "section1", "nokey", "default", kBig, 7, std::string("default\0", 8)},
    {"missing section", "nosection", "name1", "default", kBig, 7, std::string("default\0", 8)},
    // A null default reads as "".
    {"null default", "section1", "nokey", nullptr, kBig, 0, std::string("\0", 1)},
    // Trailing spaces of the default go; leading spaces and trailing tabs stay.
    {"default trailing spaces", "s", "k", "default  ", kBig, 7, std::string("default\0", 8)},
    {"default inner space kept", "s", "k", "one two  ", kBig, 7, std::string("one two\0", 8)},
    {"default leading spaces kept", "s", "k", "  lead", kBig, 6, std::string("  lead\0", 7)},
    {"default trailing tab kept", "s", "k", "tab\t", kBig, 4, std::string("tab\t\0", 5)},
    // All section names (an empty name is left out), each NUL-terminated, then one more NUL.
    {"section list", nullptr, "ignored", "default", kBig, 55,
     std::string("section1\0section2\0Padded Section\0section1\0unterminated\0\0", 56)},
    // Key names of the first section of that name, lines with '=' only.
    {"key list", "section1", nullptr, "default", kBig, 18, std::string("name1\0name2\0name4\0\0", 19)},
    // A section with no keys lists nothing and reads as the default.
    {"key list of missing section", "nosection", nullptr, "default", kBig, 7, std::string("default\0", 8)},
    // Names match whatever their case; the value keeps its own.
    {"case-insensitive names", "SECTION2", "name5", "default", kBig, 5, std::string("MiXed\0", 6)},
    // Spaces around the arguments are ignored, tabs are not.
    {"argument spaces ignored", "  section1  ", "  name1 ", "default", kBig, 4, std::string("val1\0", 5)},
    {"argument tab kept", "section1", "\tname1", "default", kBig, 7, std::string("default\0", 8)},
    // Spaces, tabs and vertical tabs around names and values in the file are ignored.
    {"file blanks trimmed", "section2", "spaced", "default", kBig, 12, std::string("padded value\0", 13)},
    {"single quotes removed", "section2", "quoted2", "default", kBig, 6, std::string("single\0", 7)},
    {"mismatched quotes kept", "section2", "mism", "default", kBig, 3, std::string("\"x'\0", 4)},
    {"only the outer pair removed", "section2", "inner", "default", kBig, 3, std::string("'x'\0", 4)},
    {"blanks inside quotes kept", "section2", "keepblanks", "default", kBig, 8, std::string("  both  \0", 9)},
    // ';' after a value is part of it: only whole lines are comments.
    {"no trailing comment", "section2", "trail", "default", kBig, 4, std::string("b ;c\0", 5)},
    {"hash is no comment", "section2", "hash", "default", kBig, 12, std::string("#not comment\0", 13)},
    // A comment line is never a key, even when it holds '='.
    {"comment line hidden", "section2", "; comment", "default", kBig, 7, std::string("default\0", 8)},
    {"first duplicate key wins", "section2", "dup", "default", kBig, 5, std::string("first\0", 6)},
    // `=value` is a key with an empty name.
    {"empty key name", "section2", "", "default", kBig, 6, std::string("no_key\0", 7)},
    // `[]` is a section with an empty name.
    {"empty section name", "", "empty", "default", kBig, 7, std::string("section\0", 8)},
    // Lines before the first header belong to no section, not even "".
    {"lines before first section", "", "key", "default", kBig, 7, std::string("default\0", 8)},
    // Blanks inside the brackets are ignored, and so is text after the first ']'.
    {"header trimmed", "Padded Section", "k", "default", kBig, 1, std::string("v\0", 2)},
    // Only the first section of a name is read.
    {"later duplicate section ignored", "section1", "late", "default", kBig, 7, std::string("default\0", 8)},
    // A header without ']' names the rest of its line.
    {"header without bracket", "unterminated", "u", "default", kBig, 1, std::string("1\0", 2)},
    // Buffer sizes: nothing written for 0; otherwise cut to size - 1 characters.
    {"size 0", "section1", "name1", "default", 0, 0, ""},
    {"size 1", "section1", "name4", "default", 1, 0, std::string("\0", 1)},
    {"value cut", "section1", "name1", "default", 4, 3, std::string("val\0", 4)},
    {"exact fit", "section1", "name1", "default", 5, 4, std::string("val1\0", 5)},
    {"default cut", "section1", "nokey", "default", 4, 3, std::string("def\0", 4)},
    // Quotes come off before the value is cut.
    {"quoted value cut", "section1", "name2", "default", 3, 2, std::string("va\0", 3)},
    // A list that does not fit: last name cut, two NULs, size - 2 returned.
    {"section list cut", nullptr, nullptr, "default", 16, 14, std::string("section1\0secti\0\0", 16)},
    {"key list cut", "section1", nullptr, "default", 16, 14, std::string("name1\0name2\0na\0\0", 16)},
    {"key list cut after a name", "section1", nullptr, "default", 8, 6, std::string("name1\0\0\0", 8)},
    {"list size 1", nullptr, nullptr, "default", 1, 0, std::string("\0", 1)},
};

std::string joined(const std::string& eol) {
    std::string text;
    for (const auto& line : kSampleLines) text += line + eol;
    return text;
}

// The buffer as text, its run of untouched marker bytes at the end given as a count.
std::string shown(std::string bytes) {
    size_t untouched = 0;
    while (!bytes.empty() && static_cast<unsigned char>(bytes.back()) == kMarker) {
        bytes.pop_back();
        ++untouched;
    }
    return visible(bytes) + " + " + std::to_string(untouched) + " marker bytes";
}

// Calls GetPrivateProfileStringA on a marked buffer and checks the result and every byte.
void checkRow(const ReadRow& row, const char* file) {
    SCOPED_TRACE(row.what);
    std::vector<char> buffer(kBig + 8, static_cast<char>(kMarker));
    DWORD got = GetPrivateProfileStringA(row.section, row.key, row.fallback, buffer.data(), row.size, file);
    EXPECT_EQ(got, row.result);
    std::string expected = row.written + std::string(buffer.size() - row.written.size(), static_cast<char>(kMarker));
    EXPECT_EQ(shown(std::string(buffer.data(), buffer.size())), shown(expected));
}

class ProfileReadTable : public testing::TestWithParam<const char*> {
protected:
    TempHome home_;
};

TEST_P(ProfileReadTable, EveryRow) {
    vesk::test::writeBytes(home_.file("sample.ini"), joined(GetParam()));
    for (const ReadRow& row : kReadRows) checkRow(row, "sample.ini");
}

std::string lineEndingName(const testing::TestParamInfo<const char*>& param) {
    std::string eol = param.param;
    return eol == "\r\n" ? "CrLf" : eol == "\r" ? "Cr" : "Lf";
}

INSTANTIATE_TEST_SUITE_P(LineEndings, ProfileReadTable, testing::Values("\r\n", "\r", "\n"), lineEndingName);

// Without a readable file every value reads as the default and a section list is empty.
TEST(ProfileRead, MissingOrUnnamedFileGivesDefault) {
    TempHome home;
    std::filesystem::create_directory(home.file("folder.ini"));
    const char* files[] = {"absent.ini", "", "folder.ini", "/nonexistent-folder/x.ini"};
    for (const char* file : files) {
        SCOPED_TRACE(file);
        checkRow({"value", "section1", "name1", "default", kBig, 7, std::string("default\0", 8)}, file);
        checkRow({"section list", nullptr, nullptr, "default", kBig, 0, std::string("\0\0", 2)}, file);
        checkRow({"key list", "section1", nullptr, "default", kBig, 7, std::string("default\0", 8)}, file);
    }
}

// A bare name is looked up in the desktop folder, a null name is its win.ini, and a name with
// a folder part is used as given, relative to the current folder.
TEST(ProfileRead, FileNameResolution) {
    TempHome home;
    vesk::test::writeBytes(home.file("bare.ini"), "[s]\r\nk=desktop\r\n");
    vesk::test::writeBytes(home.file("win.ini"), "[s]\r\nk=win\r\n");
    std::filesystem::create_directory(home.file("cwd"));
    vesk::test::writeBytes(home.file("cwd/bare.ini"), "[s]\r\nk=current\r\n");

    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(home.file("cwd"));
    char buffer[32];
    GetPrivateProfileStringA("s", "k", "", buffer, sizeof buffer, "bare.ini");
    EXPECT_STREQ(buffer, "desktop");
    GetPrivateProfileStringA("s", "k", "", buffer, sizeof buffer, "./bare.ini");
    EXPECT_STREQ(buffer, "current");
    std::filesystem::current_path(previous);

    GetPrivateProfileStringA("s", "k", "", buffer, sizeof buffer, nullptr);
    EXPECT_STREQ(buffer, "win");
    GetPrivateProfileStringA("s", "k", "", buffer, sizeof buffer, home.file("bare.ini").c_str());
    EXPECT_STREQ(buffer, "desktop");
}

// Another program's change is seen by the next call, and a deleted file reads as the default.
TEST(ProfileRead, SeesChangesMadeByOthers) {
    TempHome home;
    char buffer[32];
    vesk::test::writeBytes(home.file("x.ini"), "[s]\nk=one\n");
    GetPrivateProfileStringA("s", "k", "gone", buffer, sizeof buffer, "x.ini");
    EXPECT_STREQ(buffer, "one");
    vesk::test::writeBytes(home.file("x.ini"), "[s]\nk=two\n");
    GetPrivateProfileStringA("s", "k", "gone", buffer, sizeof buffer, "x.ini");
    EXPECT_STREQ(buffer, "two");
    std::filesystem::remove(home.file("x.ini"));
    GetPrivateProfileStringA("s", "k", "gone", buffer, sizeof buffer, "x.ini");
    EXPECT_STREQ(buffer, "gone");
}

// Bytes the file holds before its first section, NULs included, do not disturb reading.
TEST(ProfileRead, BinaryBytesBeforeFirstSection) {
    TempHome home;
    vesk::test::writeBytes(home.file("x.ini"), std::string("\0\xff junk\0=\r\n[s]\r\nk=v\r\n", 20));
    char buffer[8];
    EXPECT_EQ(GetPrivateProfileStringA("s", "k", "", buffer, sizeof buffer, "x.ini"), 1u);
    EXPECT_STREQ(buffer, "v");
}

// What a read leaves for GetLastError: cut text and unreadable files are reported; a hit that
// fits leaves the last error alone.
TEST(ProfileRead, LastError) {
    TempHome home;
    vesk::test::writeBytes(home.file("e.ini"), "[s]\r\nk=value\r\n");
    std::filesystem::create_directory(home.file("dir.ini"));
    struct Row {
        const char* what;
        const char* section;
        const char* key;
        DWORD size;
        const char* file;
        DWORD lastError;
    };
    const Row rows[] = {
        {"value fits", "s", "k", 32, "e.ini", 12345},
        {"value cut", "s", "k", 3, "e.ini", ERROR_MORE_DATA},
        {"default cut", "s", "none", 3, "e.ini", ERROR_MORE_DATA},
        {"list cut", nullptr, nullptr, 2, "e.ini", ERROR_MORE_DATA},
        {"missing file", "s", "k", 32, "absent.ini", ERROR_FILE_NOT_FOUND},
        {"missing folder", "s", "k", 32, "/nonexistent-folder/x.ini", ERROR_PATH_NOT_FOUND},
        {"folder as file", "s", "k", 32, "dir.ini", ERROR_ACCESS_DENIED},
        {"empty file name", "s", "k", 32, "", ERROR_ACCESS_DENIED},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        char buffer[32];
        SetLastError(12345);
        GetPrivateProfileStringA(row.section, row.key, "default", buffer, row.size, row.file);
        EXPECT_EQ(GetLastError(), row.lastError);
    }
}

struct IntRow {
    const char* what;
    const char* key;
    int fallback;
    UINT result;
};

TEST(ProfileRead, IntegerValues) {
    TempHome home;
    vesk::test::writeBytes(home.file("n.ini"),
                           "[n]\r\nneg=-1\r\nplus=+1\r\nwrap0=4294967296\r\nwrap1=4294967297\r\n"
                           "stop=42A9\r\nletters=B42\r\nempty=\r\nquoted=\"7\"\r\nspaced=  12  \r\n");
    const IntRow rows[] = {
        {"minus wraps to the top", "neg", 5, 0xFFFFFFFFu},
        {"plus sign", "plus", 5, 1},
        {"2^32 wraps to 0", "wrap0", 5, 0},
        {"2^32 + 1 wraps to 1", "wrap1", 5, 1},
        {"digits up to the first other character", "stop", 5, 42},
        {"no digits is 0, not the default", "letters", 5, 0},
        {"empty value is the default", "empty", 5, 5},
        {"quotes come off first", "quoted", 5, 7},
        {"trimmed like any value", "spaced", 5, 12},
        {"missing key is the default", "absent", -3, static_cast<UINT>(-3)},
    };
    for (const IntRow& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(GetPrivateProfileIntA("n", row.key, row.fallback, "n.ini"), row.result);
    }
    EXPECT_EQ(GetPrivateProfileIntA("n", "neg", 9, "absent.ini"), 9u);
}

}  // namespace
