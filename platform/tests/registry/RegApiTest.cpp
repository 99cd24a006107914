// Reading the registry file through the advapi32 calls: one row per behaviour, then handles,
// rights and the codes of each failure.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "home/TempHome.h"
#include "win32/Registry.h"

namespace {

using vesk::test::TempHome;
using vesk::test::visible;
using vesk::test::writeBytes;

constexpr unsigned char kMarker = 0xCC;
constexpr DWORD kNoBuffer = 0xFFFFFFFFu;  // row asks with lpData null

const char kSample[] =
    "REGEDIT4\r\n"
    "\r\n"
    "; a comment\r\n"
    "[HKEY_CURRENT_USER\\Software\\Vesk\\Mail]\r\n"
    "\"Path\"=\"C:\\\\Data\\\\inbox\"\r\n"
    "\"Quote\"=\"say \\\"hi\\\"\"\r\n"
    "\"Literal\"=\"a\\0b\"\r\n"
    "\"Count\"=dword:0000001a\r\n"
    "\"Short\"=dword:7\r\n"
    "@=\"default text\"\r\n"
    "\"Blob\"=hex:01,ff,20\r\n"
    "\"Expand\"=hex(2):25,50,00\r\n"
    "\"Multi\"=hex(7):61,00,62,00,00\r\n"
    "\"Long\"=hex:00,01,02,03,\\\r\n"
    "  04,05\r\n"
    "\"Empty\"=\"\"\r\n"
    "\"Gone\"=\"x\"\r\n"
    "\"Gone\"=-\r\n"
    "\"Twice\"=\"first\"\r\n"
    "\"Twice\"=\"second\"\r\n"
    "\"Bad\"=dword:xyz\r\n"
    "  \"Spaced\" = \"yes\"  \r\n"
    "\r\n"
    "[hkey_current_user\\software\\vesk\\MAIL]\r\n"
    "\"Later\"=\"merged\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Removed\\Child]\r\n"
    "\"X\"=\"1\"\r\n"
    "[-HKEY_LOCAL_MACHINE\\Software\\Removed]\r\n"
    "\r\n"
    "[HKLM\\Software\\Short]\r\n"
    "\"S\"=\"abbrev\"\r\n"
    "# a hash comment\r\n"
    "[HKEY_CURRENT_USER\\Software\\NoValues]\r\n"
    "[HKEY_CURRENT_USER\\Software\\Bad]root]\r\n"
    "[HKEY_NOWHERE\\Software\\X]\r\n"
    "\"Lost\"=\"value under an unknown root\"\r\n";

struct QueryRow {
    const char* what;
    HKEY root;
    const char* key;
    const char* name;
    DWORD room;  // buffer size offered, or kNoBuffer
    LONG result;
    DWORD type;  // expected when result is ERROR_SUCCESS or ERROR_MORE_DATA
    DWORD size;  // expected *lpcbData then
    std::string written;  // bytes the call writes; the rest keeps the marker
};

const char kMail[] = "Software\\Vesk\\Mail";

const QueryRow kQueryRows[] = {
    // Strings come with their NUL; only \\ and \" are escapes.
    {"string with escaped backslashes", HKEY_CURRENT_USER, kMail, "Path", 64, ERROR_SUCCESS, REG_SZ, 14,
     std::string("C:\\Data\\inbox\0", 14)},
    {"escaped quotes", HKEY_CURRENT_USER, kMail, "Quote", 64, ERROR_SUCCESS, REG_SZ, 9, std::string("say \"hi\"\0", 9)},
    {"\\0 is no escape", HKEY_CURRENT_USER, kMail, "Literal", 64, ERROR_SUCCESS, REG_SZ, 5, std::string("a\\0b\0", 5)},
    {"empty string", HKEY_CURRENT_USER, kMail, "Empty", 64, ERROR_SUCCESS, REG_SZ, 1, std::string("\0", 1)},
    // DWORDs are little-endian; fewer than 8 digits are fine.
    {"dword", HKEY_CURRENT_USER, kMail, "Count", 64, ERROR_SUCCESS, REG_DWORD, 4, std::string("\x1a\0\0\0", 4)},
    {"short dword", HKEY_CURRENT_USER, kMail, "Short", 64, ERROR_SUCCESS, REG_DWORD, 4, std::string("\x07\0\0\0", 4)},
    // hex: is REG_BINARY, hex(n): is type n; a list may go on after a trailing backslash.
    {"binary", HKEY_CURRENT_USER, kMail, "Blob", 64, ERROR_SUCCESS, REG_BINARY, 3, "\x01\xff\x20"},
    {"typed hex", HKEY_CURRENT_USER, kMail, "Expand", 64, ERROR_SUCCESS, REG_EXPAND_SZ, 3, std::string("%P\0", 3)},
    {"multi string", HKEY_CURRENT_USER, kMail, "Multi", 64, ERROR_SUCCESS, REG_MULTI_SZ, 5, std::string("a\0b\0\0", 5)},
    {"continued hex list", HKEY_CURRENT_USER, kMail, "Long", 64, ERROR_SUCCESS, REG_BINARY, 6,
     std::string("\0\1\2\3\4\5", 6)},
    // The default value is @, reached with a null or empty name.
    {"default by null", HKEY_CURRENT_USER, kMail, nullptr, 64, ERROR_SUCCESS, REG_SZ, 13, std::string("default text\0", 13)},
    {"default by empty", HKEY_CURRENT_USER, kMail, "", 64, ERROR_SUCCESS, REG_SZ, 13, std::string("default text\0", 13)},
    // Names of keys and values match whatever their case.
    {"value name case", HKEY_CURRENT_USER, "SOFTWARE\\vesk\\mail", "pATH", 64, ERROR_SUCCESS, REG_SZ, 14,
     std::string("C:\\Data\\inbox\0", 14)},
    {"sections of one key merge", HKEY_CURRENT_USER, kMail, "Later", 64, ERROR_SUCCESS, REG_SZ, 7, std::string("merged\0", 7)},
    // Lines apply in order: a later line overrides, "Name"=- deletes.
    {"later line wins", HKEY_CURRENT_USER, kMail, "Twice", 64, ERROR_SUCCESS, REG_SZ, 7, std::string("second\0", 7)},
    {"deleted value", HKEY_CURRENT_USER, kMail, "Gone", 64, ERROR_FILE_NOT_FOUND, 0, 0, ""},
    {"malformed line ignored", HKEY_CURRENT_USER, kMail, "Bad", 64, ERROR_FILE_NOT_FOUND, 0, 0, ""},
    {"blanks around =", HKEY_CURRENT_USER, kMail, "Spaced", 64, ERROR_SUCCESS, REG_SZ, 4, std::string("yes\0", 4)},
    {"missing value", HKEY_CURRENT_USER, kMail, "Nothing", 64, ERROR_FILE_NOT_FOUND, 0, 0, ""},
    // Sizes: null data asks the size; a short buffer is not written and learns the size.
    {"size only", HKEY_CURRENT_USER, kMail, "Path", kNoBuffer, ERROR_SUCCESS, REG_SZ, 14, ""},
    {"buffer too small", HKEY_CURRENT_USER, kMail, "Path", 13, ERROR_MORE_DATA, REG_SZ, 14, ""},
    {"zero-size buffer", HKEY_CURRENT_USER, kMail, "Count", 0, ERROR_MORE_DATA, REG_DWORD, 4, ""},
    {"exact fit", HKEY_CURRENT_USER, kMail, "Path", 14, ERROR_SUCCESS, REG_SZ, 14, std::string("C:\\Data\\inbox\0", 14)},
    // Abbreviated roots in headers.
    {"HKLM header", HKEY_LOCAL_MACHINE, "Software\\Short", "S", 64, ERROR_SUCCESS, REG_SZ, 7, std::string("abbrev\0", 7)},
};

// Runs one query on a marked buffer and checks result, type, size and every byte.
void checkQuery(const QueryRow& row) {
    SCOPED_TRACE(row.what);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(row.root, row.key, 0, KEY_READ, &key), ERROR_SUCCESS);
    std::vector<BYTE> buffer(80, kMarker);
    DWORD type = 0xDEAD;
    DWORD size = row.room == kNoBuffer ? 0 : row.room;
    LONG result = RegQueryValueExA(key, row.name, nullptr, &type, row.room == kNoBuffer ? nullptr : buffer.data(), &size);
    EXPECT_EQ(result, row.result);
    if (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
        EXPECT_EQ(type, row.type);
        EXPECT_EQ(size, row.size);
    }
    std::string expected = row.written + std::string(buffer.size() - row.written.size(), static_cast<char>(kMarker));
    EXPECT_EQ(visible(std::string(buffer.begin(), buffer.end())), visible(expected));
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

class RegistryFile : public testing::Test {
protected:
    void SetUp() override { writeBytes(home_.file("registry.reg"), kSample); }
    TempHome home_;
};

TEST_F(RegistryFile, QueryRows) {
    for (const QueryRow& row : kQueryRows) checkQuery(row);
}

// The same registry read from a file with LF line endings.
TEST_F(RegistryFile, QueryRowsWithLfLines) {
    std::string lf = kSample;
    for (size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
    writeBytes(home_.file("registry.reg"), lf);
    for (const QueryRow& row : kQueryRows) checkQuery(row);
}

struct OpenRow {
    const char* what;
    HKEY root;
    const char* key;
    LONG result;
};

TEST_F(RegistryFile, OpenRows) {
    const OpenRow rows[] = {
        {"existing key", HKEY_CURRENT_USER, kMail, ERROR_SUCCESS},
        {"parent brought in by a header", HKEY_CURRENT_USER, "Software\\Vesk", ERROR_SUCCESS},
        {"key without values", HKEY_CURRENT_USER, "Software\\NoValues", ERROR_SUCCESS},
        {"any case", HKEY_CURRENT_USER, "software\\VESK", ERROR_SUCCESS},
        {"trailing backslash", HKEY_CURRENT_USER, "Software\\Vesk\\", ERROR_SUCCESS},
        {"null reopens the root", HKEY_CURRENT_USER, nullptr, ERROR_SUCCESS},
        {"empty reopens the root", HKEY_LOCAL_MACHINE, "", ERROR_SUCCESS},
        {"root never in the file", HKEY_USERS, "", ERROR_SUCCESS},
        {"missing key", HKEY_CURRENT_USER, "Software\\Nope", ERROR_FILE_NOT_FOUND},
        {"key of another root", HKEY_LOCAL_MACHINE, kMail, ERROR_FILE_NOT_FOUND},
        {"[-key] removes the key", HKEY_LOCAL_MACHINE, "Software\\Removed", ERROR_FILE_NOT_FOUND},
        {"[-key] removes the subtree", HKEY_LOCAL_MACHINE, "Software\\Removed\\Child", ERROR_FILE_NOT_FOUND},
        // A header runs to the line's last ']', so an earlier one is part of the key name.
        {"']' inside a key name", HKEY_CURRENT_USER, "Software\\Bad]root", ERROR_SUCCESS},
        {"unknown root ignored", HKEY_CURRENT_USER, "Software\\X", ERROR_FILE_NOT_FOUND},
        {"leading backslash", HKEY_CURRENT_USER, "\\Software", ERROR_BAD_PATHNAME},
        {"empty component", HKEY_CURRENT_USER, "Software\\\\Vesk", ERROR_BAD_PATHNAME},
    };
    for (const OpenRow& row : rows) {
        SCOPED_TRACE(row.what);
        HKEY key = reinterpret_cast<HKEY>(0x1);
        EXPECT_EQ(RegOpenKeyExA(row.root, row.key, 0, KEY_READ, &key), row.result);
        if (row.result == ERROR_SUCCESS) {
            EXPECT_NE(key, nullptr);
            EXPECT_NE(key, row.root);  // a new handle, even for the key itself
            EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
        } else {
            EXPECT_EQ(key, nullptr);
        }
    }
}

// A key opened relative to an open key, and a value read straight from a root handle.
TEST_F(RegistryFile, RelativeOpenAndRootQueries) {
    HKEY software = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &software), ERROR_SUCCESS);
    HKEY mail = nullptr;
    ASSERT_EQ(RegOpenKeyExA(software, "Vesk\\Mail", 0, KEY_READ, &mail), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(mail, "Path", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 14u);
    EXPECT_EQ(RegQueryValueExA(mail, "Path", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(HKEY_CURRENT_USER, "Path", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCloseKey(mail), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(software), ERROR_SUCCESS);
}

// Handles that were never opened or are already closed fail with ERROR_INVALID_HANDLE.
TEST_F(RegistryFile, BadHandles) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kMail, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    BYTE data[4] = {1, 2, 3, 4};
    DWORD size = sizeof data;
    HKEY other = nullptr;
    const HKEY bad[] = {key, nullptr, reinterpret_cast<HKEY>(0x1234), reinterpret_cast<HKEY>(&size)};
    for (HKEY handle : bad) {
        SCOPED_TRACE(reinterpret_cast<uintptr_t>(handle));
        EXPECT_EQ(RegCloseKey(handle), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegQueryValueExA(handle, "Path", nullptr, nullptr, data, &size), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegSetValueExA(handle, "N", 0, REG_BINARY, data, sizeof data), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegDeleteValueA(handle, "Path"), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegOpenKeyExA(handle, "", 0, KEY_READ, &other), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegCreateKeyExA(handle, "X", 0, nullptr, 0, KEY_READ, nullptr, &other, nullptr), ERROR_INVALID_HANDLE);
    }
    // Root keys are always open; closing one does nothing.
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Short", 0, KEY_READ, &other), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(other), ERROR_SUCCESS);
}

TEST_F(RegistryFile, InvalidParameters) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kMail, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    DWORD reserved = 0;
    BYTE data[8];
    DWORD size = sizeof data;
    EXPECT_EQ(RegQueryValueExA(key, "Count", &reserved, nullptr, data, &size), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExA(key, "Count", nullptr, nullptr, data, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kMail, 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(key, "N", 0, REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(key, "Line\nBreak", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2), ERROR_INVALID_PARAMETER);
    HKEY created = nullptr;
    EXPECT_EQ(RegCreateKeyExA(key, "A\r\nB", 0, nullptr, 0, KEY_READ, nullptr, &created, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(created, nullptr);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

// A handle can do what it was opened for and nothing else.
TEST_F(RegistryFile, AccessRights) {
    const BYTE one[4] = {1, 0, 0, 0};
    DWORD size = 0;
    HKEY reader = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kMail, 0, KEY_READ, &reader), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(reader, "N", 0, REG_DWORD, one, 4), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueA(reader, "Path"), ERROR_ACCESS_DENIED);
    HKEY child = nullptr;
    EXPECT_EQ(RegCreateKeyExA(reader, "New", 0, nullptr, 0, KEY_READ, nullptr, &child, nullptr), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCloseKey(reader), ERROR_SUCCESS);

    HKEY writer = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kMail, 0, KEY_WRITE, &writer), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(writer, "Path", nullptr, nullptr, nullptr, &size), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegSetValueExA(writer, "N", 0, REG_DWORD, one, 4), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(writer), ERROR_SUCCESS);

    HKEY everything = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kMail, 0, MAXIMUM_ALLOWED, &everything), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(everything, "N", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(everything), ERROR_SUCCESS);
}

// Changes other programs make to the file are seen by the next call, through open handles too.
TEST_F(RegistryFile, SeesChangesMadeByOthers) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kMail, 0, KEY_READ, &key), ERROR_SUCCESS);
    char text[16];
    DWORD size = sizeof text;
    ASSERT_EQ(RegQueryValueExA(key, "Later", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size), ERROR_SUCCESS);

    std::string changed = kSample;
    changed.replace(changed.find("\"merged\""), 8, "\"edited\"");
    writeBytes(home_.file("registry.reg"), changed);
    size = sizeof text;
    ASSERT_EQ(RegQueryValueExA(key, "Later", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size), ERROR_SUCCESS);
    EXPECT_STREQ(text, "edited");

    // The key itself removed: its open handle now reports a deleted key.
    writeBytes(home_.file("registry.reg"), std::string(kSample) + "[-HKEY_CURRENT_USER\\Software\\Vesk]\r\n");
    EXPECT_EQ(RegQueryValueExA(key, "Later", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
    HKEY child = nullptr;
    EXPECT_EQ(RegOpenKeyExA(key, "", 0, KEY_READ, &child), ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    std::filesystem::remove(home_.file("registry.reg"));
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kMail, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

// A file that is not a REGEDIT4 file holds nothing and is never rewritten.
TEST(RegistryForeignFile, ReadsEmptyAndRefusesWrites) {
    TempHome home;
    const std::string foreign = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\X]\r\n";
    writeBytes(home.file("registry.reg"), foreign);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\X", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Y", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_BADDB);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(vesk::test::readBytes(home.file("registry.reg")), foreign);
}

}  // namespace
