// Writing the registry file: one row per kind of change (file before, call, file after), then
// what each type of value looks like on disk and that it reads back unchanged.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "home/TempHome.h"
#include "win32/Registry.h"

namespace {

using vesk::test::readBytes;
using vesk::test::TempHome;
using vesk::test::visible;
using vesk::test::writeBytes;

using Bytes = std::optional<std::string>;  // nothing: no file
const Bytes kNoFile = std::nullopt;

enum class Op { Set, Delete, Create };

struct EditRow {
    const char* what;
    Bytes before;
    Op op;
    const char* key;   // below HKEY_CURRENT_USER
    const char* name;  // value name (Set, Delete)
    DWORD type;
    std::string data;
    LONG result;
    Bytes after;
};

std::string sz(const char* text) {
    return std::string(text) + '\0';
}

const char kHead[] = "REGEDIT4\r\n\r\n";
const std::string kK = "[HKEY_CURRENT_USER\\Software\\K]\r\n";

const EditRow kEditRows[] = {
    // A new registry file: header, blank line, the key's section.
    {"new file", kNoFile, Op::Set, "Software\\K", "N", REG_SZ, sz("v"), ERROR_SUCCESS,
     std::string(kHead) + kK + "\"N\"=\"v\"\r\n"},
    {"blank file gets a header", "\r\n\r\n", Op::Set, "Software\\K", "N", REG_SZ, sz("v"), ERROR_SUCCESS,
     std::string(kHead) + kK + "\"N\"=\"v\"\r\n"},
    // A changed value keeps its line and its name's spelling; the rest of the file stays.
    {"value replaced in place", std::string(kHead) + "; keep me\r\n" + kK + "\"Name\"=\"old\"\r\n\"Z\"=\"z\"\r\n",
     Op::Set, "software\\k", "NAME", REG_SZ, sz("new"), ERROR_SUCCESS,
     std::string(kHead) + "; keep me\r\n" + kK + "\"Name\"=\"new\"\r\n\"Z\"=\"z\"\r\n"},
    // A new value follows the key's last value line, before blank lines and comments.
    {"new value after the last value", std::string(kHead) + kK + "\"A\"=\"1\"\r\n; about B\r\n\r\n[HKEY_USERS\\X]\r\n",
     Op::Set, "Software\\K", "B", REG_SZ, sz("2"), ERROR_SUCCESS,
     std::string(kHead) + kK + "\"A\"=\"1\"\r\n\"B\"=\"2\"\r\n; about B\r\n\r\n[HKEY_USERS\\X]\r\n"},
    {"new value in a section without values", std::string(kHead) + kK, Op::Set, "Software\\K", "B", REG_SZ, sz("2"),
     ERROR_SUCCESS, std::string(kHead) + kK + "\"B\"=\"2\"\r\n"},
    // The line that is in force is the one changed: the last, when a key has two sections.
    {"overriding line changed", std::string(kHead) + kK + "\"A\"=\"1\"\r\n\r\n" + kK + "\"A\"=\"2\"\r\n", Op::Set,
     "Software\\K", "A", REG_SZ, sz("3"), ERROR_SUCCESS,
     std::string(kHead) + kK + "\"A\"=\"1\"\r\n\r\n" + kK + "\"A\"=\"3\"\r\n"},
    {"new value in the key's last section", std::string(kHead) + kK + "\"A\"=\"1\"\r\n\r\n" + kK + "\r\n[HKEY_USERS\\X]\r\n",
     Op::Set, "Software\\K", "B", REG_SZ, sz("2"), ERROR_SUCCESS,
     std::string(kHead) + kK + "\"A\"=\"1\"\r\n\r\n" + kK + "\"B\"=\"2\"\r\n\r\n[HKEY_USERS\\X]\r\n"},
    // A key that exists only as the parent of another gets a section of its own at the end.
    {"parent key gets a section", std::string(kHead) + "[HKEY_CURRENT_USER\\Software\\K\\Child]\r\n", Op::Set,
     "Software\\K", "N", REG_SZ, sz("v"), ERROR_SUCCESS,
     std::string(kHead) + "[HKEY_CURRENT_USER\\Software\\K\\Child]\r\n\r\n" + kK + "\"N\"=\"v\"\r\n"},
    // A key removed by [-key] comes back in a new section after the removal.
    {"key after its removal", std::string(kHead) + kK + "\"A\"=\"1\"\r\n[-HKEY_CURRENT_USER\\Software\\K]\r\n", Op::Set,
     "Software\\K", "B", REG_SZ, sz("2"), ERROR_SUCCESS,
     std::string(kHead) + kK + "\"A\"=\"1\"\r\n[-HKEY_CURRENT_USER\\Software\\K]\r\n\r\n" + kK + "\"B\"=\"2\"\r\n"},
    // A continued hex list is replaced whole.
    {"continued value replaced", std::string(kHead) + kK + "\"H\"=hex:01,\\\r\n  02\r\n\"Z\"=\"z\"\r\n", Op::Set,
     "Software\\K", "H", REG_DWORD, std::string("\x2a\0\0\0", 4), ERROR_SUCCESS,
     std::string(kHead) + kK + "\"H\"=dword:0000002a\r\n\"Z\"=\"z\"\r\n"},
    // How each kind of value is written.
    {"dword", std::string(kHead) + kK, Op::Set, "Software\\K", "D", REG_DWORD, std::string("\x78\x56\x34\x12", 4),
     ERROR_SUCCESS, std::string(kHead) + kK + "\"D\"=dword:12345678\r\n"},
    {"binary", std::string(kHead) + kK, Op::Set, "Software\\K", "B", REG_BINARY, std::string("\0\xff\x10", 3),
     ERROR_SUCCESS, std::string(kHead) + kK + "\"B\"=hex:00,ff,10\r\n"},
    {"empty binary", std::string(kHead) + kK, Op::Set, "Software\\K", "B", REG_BINARY, "", ERROR_SUCCESS,
     std::string(kHead) + kK + "\"B\"=hex:\r\n"},
    {"expandable string", std::string(kHead) + kK, Op::Set, "Software\\K", "E", REG_EXPAND_SZ, sz("%A"), ERROR_SUCCESS,
     std::string(kHead) + kK + "\"E\"=hex(2):25,41,00\r\n"},
    {"odd type number", std::string(kHead) + kK, Op::Set, "Software\\K", "T", 0x1f4, "\x01", ERROR_SUCCESS,
     std::string(kHead) + kK + "\"T\"=hex(1f4):01\r\n"},
    {"dword of the wrong size", std::string(kHead) + kK, Op::Set, "Software\\K", "D", REG_DWORD, "\x01\x02",
     ERROR_SUCCESS, std::string(kHead) + kK + "\"D\"=hex(4):01,02\r\n"},
    // Strings a quoted string cannot hold exactly are written as hex(1).
    {"string with line break", std::string(kHead) + kK, Op::Set, "Software\\K", "S", REG_SZ, sz("a\r\nb"),
     ERROR_SUCCESS, std::string(kHead) + kK + "\"S\"=hex(1):61,0d,0a,62,00\r\n"},
    {"string without NUL", std::string(kHead) + kK, Op::Set, "Software\\K", "S", REG_SZ, "ab", ERROR_SUCCESS,
     std::string(kHead) + kK + "\"S\"=hex(1):61,62\r\n"},
    // Backslashes and quotes are escaped in names and strings.
    {"escapes", std::string(kHead) + kK, Op::Set, "Software\\K", "a\"b\\c", REG_SZ, sz("C:\\x \"q\""), ERROR_SUCCESS,
     std::string(kHead) + kK + "\"a\\\"b\\\\c\"=\"C:\\\\x \\\"q\\\"\"\r\n"},
    {"default value", std::string(kHead) + kK, Op::Set, "Software\\K", "", REG_SZ, sz("d"), ERROR_SUCCESS,
     std::string(kHead) + kK + "@=\"d\"\r\n"},
    // New lines follow the file's own line ending; a missing final line break is added.
    {"LF file stays LF", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\K]\n\"A\"=\"1\"\n", Op::Set, "Software\\K", "B",
     REG_SZ, sz("2"), ERROR_SUCCESS, "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\K]\n\"A\"=\"1\"\n\"B\"=\"2\"\n"},
    {"unterminated last line", std::string(kHead) + kK + "\"A\"=\"1\"", Op::Set, "Software\\K", "B", REG_SZ, sz("2"),
     ERROR_SUCCESS, std::string(kHead) + kK + "\"A\"=\"1\"\r\n\"B\"=\"2\"\r\n"},
    // Deleting a value removes every line that set it, so no older line comes back.
    {"delete value", std::string(kHead) + kK + "\"A\"=\"1\"\r\n\"Z\"=\"z\"\r\n\r\n" + kK + "\"a\"=hex:01,\\\r\n  02\r\n",
     Op::Delete, "Software\\K", "A", 0, "", ERROR_SUCCESS,
     std::string(kHead) + kK + "\"Z\"=\"z\"\r\n\r\n" + kK},
    {"delete missing value", std::string(kHead) + kK + "\"A\"=-\r\n", Op::Delete, "Software\\K", "A", 0, "",
     ERROR_FILE_NOT_FOUND, std::string(kHead) + kK + "\"A\"=-\r\n"},
    // A new key is a header at the end, spelled as its existing parents are.
    {"create key", std::string(kHead) + "[HKEY_CURRENT_USER\\SOFTWARE\\Vesk]\r\n", Op::Create, "software\\VESK\\New",
     nullptr, 0, "", ERROR_SUCCESS,
     std::string(kHead) + "[HKEY_CURRENT_USER\\SOFTWARE\\Vesk]\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Vesk\\New]\r\n"},
    {"create existing key", std::string(kHead) + kK, Op::Create, "SOFTWARE\\k", nullptr, 0, "", ERROR_SUCCESS,
     std::string(kHead) + kK},
    {"create parent brought in by a header", std::string(kHead) + kK, Op::Create, "Software", nullptr, 0, "",
     ERROR_SUCCESS, std::string(kHead) + kK},
    // A file that is not a registry file is left alone.
    {"foreign file", "not a registry\r\n", Op::Create, "Software\\K", nullptr, 0, "", ERROR_BADDB,
     "not a registry\r\n"},
};

LONG apply(const EditRow& row) {
    HKEY key = nullptr;
    LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, row.key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS || row.op == Op::Create) {
        if (key != nullptr) RegCloseKey(key);
        return result;
    }
    if (row.op == Op::Set) {
        result = RegSetValueExA(key, row.name, 0, row.type, reinterpret_cast<const BYTE*>(row.data.data()),
                                static_cast<DWORD>(row.data.size()));
    } else {
        result = RegDeleteValueA(key, row.name);
    }
    RegCloseKey(key);
    return result;
}

TEST(RegistryEdit, EveryRow) {
    for (const EditRow& row : kEditRows) {
        SCOPED_TRACE(row.what);
        TempHome home;
        if (row.before) writeBytes(home.file("registry.reg"), *row.before);
        EXPECT_EQ(apply(row), row.result);
        Bytes after = readBytes(home.file("registry.reg"));
        ASSERT_EQ(after.has_value(), row.after.has_value());
        if (after) {
            EXPECT_EQ(visible(*after), visible(*row.after));
        }
        EXPECT_EQ(vesk::test::folderListing(home.path()), row.after ? "registry.reg;" : "");
    }
}

// Whatever is stored reads back byte for byte, from a fresh parse of the file.
TEST(RegistryEdit, StoredValuesReadBack) {
    TempHome home;
    std::string everyByte;
    for (int i = 0; i < 256; ++i) everyByte.push_back(static_cast<char>(i));
    struct Stored {
        const char* name;
        DWORD type;
        std::string data;
    };
    const Stored values[] = {
        {"plain", REG_SZ, sz("text")},
        {"escapes", REG_SZ, sz("\\\"\\0\\\\")},
        {"high bytes", REG_SZ, sz("caf\xe9 \x80")},
        {"line breaks", REG_SZ, sz("one\r\ntwo\rthree\n")},
        {"inner NUL", REG_SZ, std::string("a\0b\0", 4)},
        {"empty", REG_SZ, ""},
        {"every byte, wrapped over lines", REG_BINARY, everyByte},
        {"multi", REG_MULTI_SZ, std::string("a\0bc\0\0", 6)},
        {"dword", REG_DWORD, std::string("\xff\0\x01\x80", 4)},
        {"big type", 0xFFFFFFFFu, "x"},
    };
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\RoundTrip", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    for (const Stored& value : values) {
        ASSERT_EQ(RegSetValueExA(key, value.name, 0, value.type, reinterpret_cast<const BYTE*>(value.data.data()),
                                 static_cast<DWORD>(value.data.size())),
                  ERROR_SUCCESS)
            << value.name;
    }
    RegCloseKey(key);
    // Copy the file away and back so the next reads cannot come from anything but the file.
    std::string file = *readBytes(home.file("registry.reg"));
    std::filesystem::remove(home.file("registry.reg"));
    HKEY gone = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\RoundTrip", 0, KEY_READ, &gone), ERROR_FILE_NOT_FOUND);
    writeBytes(home.file("registry.reg"), file);

    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\RoundTrip", 0, KEY_READ, &key), ERROR_SUCCESS);
    for (const Stored& value : values) {
        SCOPED_TRACE(value.name);
        std::vector<BYTE> buffer(300);
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD type = 0;
        ASSERT_EQ(RegQueryValueExA(key, value.name, nullptr, &type, buffer.data(), &size), ERROR_SUCCESS);
        EXPECT_EQ(type, value.type);
        EXPECT_EQ(visible(std::string(buffer.begin(), buffer.begin() + size)), visible(value.data));
    }
    RegCloseKey(key);
    // Long hex lists are broken into lines of about 80 characters.
    for (size_t start = 0, end; (end = file.find("\r\n", start)) != std::string::npos; start = end + 2)
        EXPECT_LE(end - start, 80u) << file.substr(start, end - start);
}

// A file cut inside a continued hex list (its last line ending in backslashes) still takes
// new keys: the blank line before the new section ends the list, and the value reads back.
TEST(RegistryEdit, SectionAfterAHexListCutShortIsRead) {
    for (const char* tail : {"\"H\"=hex:01,\\", "\"H\"=hex:01,\\\\", "\"H\"=hex:01,\\\r\n  02,\\\\\\\r\n"}) {
        SCOPED_TRACE(tail);
        TempHome home;
        writeBytes(home.file("registry.reg"), std::string(kHead) + kK + tail);
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, "B", 0, REG_SZ, reinterpret_cast<const BYTE*>("2"), 2), ERROR_SUCCESS);
        RegCloseKey(key);
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\New", 0, KEY_READ, &key), ERROR_SUCCESS);
        char value[8] = "";
        DWORD size = sizeof value;
        EXPECT_EQ(RegQueryValueExA(key, "B", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size), ERROR_SUCCESS);
        EXPECT_STREQ(value, "2");
        RegCloseKey(key);
    }
}

// The registry file keeps its mode when replaced, and creating it creates the desktop folder.
TEST(RegistryEdit, FileReplacement) {
    TempHome home;
    std::string desktop = home.file("new/desktop");
    setenv("VESK_HOME", desktop.c_str(), 1);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\K", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(chmod((desktop + "/registry.reg").c_str(), 0600), 0);
    const BYTE one[4] = {1, 0, 0, 0};
    ASSERT_EQ(RegSetValueExA(key, "N", 0, REG_DWORD, one, 4), ERROR_SUCCESS);
    RegCloseKey(key);
    struct stat info {};
    ASSERT_EQ(stat((desktop + "/registry.reg").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(vesk::test::folderListing(desktop), "registry.reg;");
}

// Disposition tells a created key from an opened one.
TEST(RegistryEdit, CreateDisposition) {
    TempHome home;
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "A\\B", 0, nullptr, 0, KEY_READ, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "a", 0, nullptr, 0, KEY_READ, nullptr, &key, &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    RegCloseKey(key);
}

// Writers running at once each change the file the others left, so no value is lost.
TEST(RegistryEdit, ConcurrentWritersLoseNothing) {
    TempHome home;
    constexpr int kThreads = 4;
    constexpr int kValuesEach = 12;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            HKEY key = nullptr;
            std::string path = "Software\\T" + std::to_string(t % 2);
            if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
                ERROR_SUCCESS)
                return;
            for (int v = 0; v < kValuesEach; ++v) {
                std::string name = "v" + std::to_string(t) + "_" + std::to_string(v);
                const BYTE data[4] = {static_cast<BYTE>(v), 0, 0, 0};
                RegSetValueExA(key, name.c_str(), 0, REG_DWORD, data, 4);
            }
            RegCloseKey(key);
        });
    }
    for (auto& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t) {
        HKEY key = nullptr;
        std::string path = "Software\\T" + std::to_string(t % 2);
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
        for (int v = 0; v < kValuesEach; ++v) {
            std::string name = "v" + std::to_string(t) + "_" + std::to_string(v);
            EXPECT_EQ(RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS) << name;
        }
        RegCloseKey(key);
    }
}

}  // namespace
