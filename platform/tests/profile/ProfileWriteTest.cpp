// Writing profile files: one row per writing behaviour (file before, call, file after), then
// the guarantees of the file replacement itself.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "home/TempHome.h"
#include "win32/Module.h"
#include "win32/Profile.h"

namespace {

using vesk::test::readBytes;
using vesk::test::TempHome;
using vesk::test::visible;
using vesk::test::writeBytes;

using Bytes = std::optional<std::string>;  // nothing: the file does not exist
const Bytes kNoFile = std::nullopt;

struct WriteRow {
    const char* what;
    Bytes before;
    const char* section;
    const char* key;
    const char* value;
    BOOL result;
    Bytes after;
};

const WriteRow kWriteRows[] = {
    // A new file gets the section and the key, CR LF after each line.
    {"new file", kNoFile, "App", "key", "string", TRUE, "[App]\r\nkey=string\r\n"},
    // A new section goes at the end, with no blank line before it.
    {"new section appended", "[A]\r\na=1\r\n", "B", "b", "2", TRUE, "[A]\r\na=1\r\n[B]\r\nb=2\r\n"},
    // A file that does not end in a line break gets one before the new section.
    {"unterminated last line", "[A]\r\na=1", "B", "b", "2", TRUE, "[A]\r\na=1\r\n[B]\r\nb=2\r\n"},
    // A new key follows the last key line, so comments closing the section stay after it.
    {"new key before trailing comment", "[A]\r\na=1\r\n; tail\r\n[B]\r\n", "A", "b", "2", TRUE,
     "[A]\r\na=1\r\nb=2\r\n; tail\r\n[B]\r\n"},
    {"new key before trailing blank line", "[A]\r\na=1\r\n\r\n[B]\r\n", "A", "b", "2", TRUE,
     "[A]\r\na=1\r\nb=2\r\n\r\n[B]\r\n"},
    {"new key in section without keys", "[A]\r\n; c\r\n[B]\r\n", "A", "b", "2", TRUE, "[A]\r\nb=2\r\n; c\r\n[B]\r\n"},
    {"new key in last unterminated section", "[A]\r\na=1", "A", "b", "2", TRUE, "[A]\r\na=1\r\nb=2\r\n"},
    // An existing key changes on its own line; the name keeps its spelling, the value is new.
    {"existing key replaced", "[A]\r\nKey=old\r\nz=1\r\n", "a", "KEY", "New", TRUE, "[A]\r\nKey=New\r\nz=1\r\n"},
    {"blanks around old value dropped", " [A] \r\n  k = 1  \r\n", "A", "k", "2", TRUE, " [A] \r\n  k=2\r\n"},
    {"existing section other case", "[App]\r\n", "APP", "k", "v", TRUE, "[App]\r\nk=v\r\n"},
    {"empty value", "[A]\r\n", "A", "k", "", TRUE, "[A]\r\nk=\r\n"},
    {"only first duplicate key changes", "[A]\r\nd=1\r\nd=2\r\n", "A", "d", "3", TRUE, "[A]\r\nd=3\r\nd=2\r\n"},
    {"first duplicate section gets the key", "[A]\r\n[B]\r\n[a]\r\n", "A", "k", "v", TRUE, "[A]\r\nk=v\r\n[B]\r\n[a]\r\n"},
    // Spaces around section and key arguments are dropped before writing.
    {"argument spaces dropped", kNoFile, "  A  ", "  k  ", "v", TRUE, "[A]\r\nk=v\r\n"},
    // A key starting with ';' becomes a comment line at the end of the section, every time.
    {"comment key", "[A]\r\na=1\r\n;c\r\n\r\n[B]\r\n", "A", ";k", "v", TRUE, "[A]\r\na=1\r\n;c\r\n;k=v\r\n\r\n[B]\r\n"},
    {"comment key again", "[A]\r\n;k=v\r\n", "A", ";k", "v", TRUE, "[A]\r\n;k=v\r\n;k=v\r\n"},
    // A null value deletes the key's lines; the header stays.
    {"delete key", "[A]\r\nk=1\r\n[B]\r\nk=2\r\n", "A", "k", nullptr, TRUE, "[A]\r\n[B]\r\nk=2\r\n"},
    {"delete key and its duplicates", "[A]\r\nd=1\r\nx=0\r\nD=2\r\n", "A", "d", nullptr, TRUE, "[A]\r\nx=0\r\n"},
    {"delete missing key", "[A]\r\nk=1\r\n", "A", "nokey", nullptr, TRUE, "[A]\r\nk=1\r\n"},
    // A null key deletes the header, key and text lines; comments and blank lines stay.
    {"delete section", "[A]\r\n;c\r\nk=1\r\nstray\r\n\r\n[B]\r\nb=1\r\n", "A", nullptr, "ignored", TRUE,
     ";c\r\n\r\n[B]\r\nb=1\r\n"},
    {"delete every section of the name", "[A]\r\na=1\r\n[B]\r\n[a]\r\nb=1\r\n", "a", nullptr, nullptr, TRUE, "[B]\r\n"},
    {"delete missing section", "[A]\r\n", "B", nullptr, nullptr, TRUE, "[A]\r\n"},
    // Deleting from a file that does not exist creates it empty.
    {"delete key from no file", kNoFile, "A", "k", nullptr, TRUE, ""},
    {"delete section from no file", kNoFile, "A", nullptr, nullptr, TRUE, ""},
    // A null section writes nothing (it is also the all-null "flush" call).
    {"null section", "[A]\r\n", nullptr, "k", "v", FALSE, "[A]\r\n"},
    {"flush call", kNoFile, nullptr, nullptr, nullptr, FALSE, kNoFile},
    // CR or LF anywhere is refused, so the caller cannot add lines of its own.
    {"value injecting a key", "[A]\r\n", "A", "k", "x\r\nEvil=1", FALSE, "[A]\r\n"},
    {"value with bare LF", "[A]\r\n", "A", "k", "x\ny", FALSE, "[A]\r\n"},
    {"key with CR", "[A]\r\n", "A", "k\r", "v", FALSE, "[A]\r\n"},
    {"section injecting a key", kNoFile, "sec]\r\nkey=value", "k", "v", FALSE, kNoFile},
    {"line break refused in deletion too", "[A]\r\nk=1\r\n", "A", "k\n", nullptr, FALSE, "[A]\r\nk=1\r\n"},
    // Every other byte survives: lines before the first section, NULs, odd spacing, endings.
    {"bytes before first section", std::string("junk\0\x01\r\n[A]\r\na=1\r\n", 18), "A", "a", "2", TRUE,
     std::string("junk\0\x01\r\n[A]\r\na=2\r\n", 18)},
    {"mixed line endings kept", "[A]\na=1\r\n;x\r[B]\n", "B", "b", "2", TRUE, "[A]\na=1\r\n;x\r[B]\nb=2\n"},
    // New lines take the file's own line ending.
    {"LF file stays LF", "[A]\na=1\n", "A", "b", "2", TRUE, "[A]\na=1\nb=2\n"},
    {"CR file stays CR", "[A]\ra=1\r", "C", "c", "3", TRUE, "[A]\ra=1\r[C]\rc=3\r"},
};

TEST(ProfileWrite, EveryRow) {
    for (const WriteRow& row : kWriteRows) {
        SCOPED_TRACE(row.what);
        TempHome home;
        std::string path = home.file("w.ini");
        if (row.before) writeBytes(path, *row.before);
        EXPECT_EQ(WritePrivateProfileStringA(row.section, row.key, row.value, "w.ini"), row.result);
        Bytes after = readBytes(path);
        ASSERT_EQ(after.has_value(), row.after.has_value());
        if (after) {
            EXPECT_EQ(visible(*after), visible(*row.after));
        }
        // Whatever happened, no temporary file is left beside the profile.
        EXPECT_EQ(vesk::test::folderListing(home.path()), row.after ? "w.ini;" : "");
    }
}

// What one call writes, the next reads back, through every reading rule.
TEST(ProfileWrite, WrittenValuesReadBack) {
    TempHome home;
    const char* values[] = {"plain", "", "  quoted to keep blanks  ", "a=b;c", "\"inner\"", "tab\there"};
    for (const char* value : values) {
        SCOPED_TRACE(value);
        std::string stored = value;
        if (stored.front() == ' ') stored = "\"" + stored + "\"";
        ASSERT_TRUE(WritePrivateProfileStringA("Sec", "Key", stored.c_str(), "rt.ini"));
        char buffer[64];
        GetPrivateProfileStringA("sec", "key", "default", buffer, sizeof buffer, "rt.ini");
        std::string expected = value;
        if (expected == "\"inner\"") expected = "inner";
        EXPECT_EQ(std::string(buffer), expected);
    }
}

// A bare name creates the desktop folder when it does not exist yet; a folder named
// explicitly must exist.
TEST(ProfileWrite, WhereFilesAreCreated) {
    TempHome home;
    std::string desktop = home.file("not/yet");
    setenv("VESK_HOME", desktop.c_str(), 1);
    EXPECT_TRUE(WritePrivateProfileStringA("A", "k", "v", "new.ini"));
    EXPECT_EQ(readBytes(desktop + "/new.ini"), Bytes("[A]\r\nk=v\r\n"));

    std::string missing = home.file("absent/x.ini");
    EXPECT_FALSE(WritePrivateProfileStringA("A", "k", "v", missing.c_str()));
    EXPECT_FALSE(std::filesystem::exists(home.file("absent")));
    EXPECT_FALSE(WritePrivateProfileStringA("A", "k", "v", ""));
}

// The file is replaced, not rewritten in place: its mode stays, a link keeps pointing at it.
TEST(ProfileWrite, ReplacementKeepsModeAndFollowsLinks) {
    TempHome home;
    std::string real = home.file("real.ini");
    writeBytes(real, "[A]\r\n");
    ASSERT_EQ(chmod(real.c_str(), 0640), 0);
    std::filesystem::create_symlink(real, home.file("link.ini"));

    EXPECT_TRUE(WritePrivateProfileStringA("A", "k", "v", "link.ini"));
    EXPECT_TRUE(std::filesystem::is_symlink(home.file("link.ini")));
    EXPECT_EQ(readBytes(real), Bytes("[A]\r\nk=v\r\n"));
    struct stat info {};
    ASSERT_EQ(stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(vesk::test::folderListing(home.path()), "link.ini;real.ini;");
}

// What a refused or failed write leaves for GetLastError.
TEST(ProfileWrite, LastError) {
    TempHome home;
    std::filesystem::create_directory(home.file("dir.ini"));
    struct Row {
        const char* what;
        const char* section;
        const char* key;
        const char* value;
        std::string file;
        DWORD lastError;
    };
    const Row rows[] = {
        {"null section", nullptr, "k", "v", "w.ini", ERROR_FILE_NOT_FOUND},
        {"line break", "s", "k", "a\nb", "w.ini", ERROR_INVALID_PARAMETER},
        {"empty file name", "s", "k", "v", "", ERROR_ACCESS_DENIED},
        {"missing folder", "s", "k", "v", home.file("absent/w.ini"), ERROR_PATH_NOT_FOUND},
        {"folder as file", "s", "k", "v", "dir.ini", ERROR_ACCESS_DENIED},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SetLastError(0);
        EXPECT_FALSE(WritePrivateProfileStringA(row.section, row.key, row.value, row.file.c_str()));
        EXPECT_EQ(GetLastError(), row.lastError);
    }
}

// A write that fails half-way (here: the file-size limit stops the temporary file) leaves the
// old file as it was and no temporary file behind.
TEST(ProfileWrite, FailedWriteLeavesFileUntouched) {
    TempHome home;
    const std::string before = "[A]\r\nk=old\r\n";
    writeBytes(home.file("f.ini"), before);

    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 64;
    auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string big(1000, 'x');
    BOOL result = WritePrivateProfileStringA("A", "k", big.c_str(), "f.ini");
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(result);
    EXPECT_EQ(readBytes(home.file("f.ini")), Bytes(before));
    EXPECT_EQ(vesk::test::folderListing(home.path()), "f.ini;");
}

// Writers running at once each read the file the others left, so no key is lost.
TEST(ProfileWrite, ConcurrentWritersLoseNothing) {
    TempHome home;
    constexpr int kThreads = 4;
    constexpr int kKeysEach = 12;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int k = 0; k < kKeysEach; ++k) {
                std::string key = "t" + std::to_string(t) + "k" + std::to_string(k);
                WritePrivateProfileStringA("S", key.c_str(), "1", "shared.ini");
            }
        });
    }
    for (auto& thread : threads) thread.join();
    std::vector<char> list(8192);
    GetPrivateProfileStringA("S", nullptr, "", list.data(), static_cast<DWORD>(list.size()), "shared.ini");
    int count = 0;
    for (const char* name = list.data(); *name != '\0'; name += std::strlen(name) + 1) ++count;
    EXPECT_EQ(count, kThreads * kKeysEach);
}

}  // namespace
