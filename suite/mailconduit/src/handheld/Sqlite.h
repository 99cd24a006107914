// A thin owner of an SQLite connection and its statements, with errors that name the
// database file and say why in plain words.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace conduit {

/// One prepared statement; reset and cleared before each use.
class Statement {
public:
    Statement() = default;
    Statement(sqlite3* db, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;

    bool ok() const { return m_stmt != nullptr; }
    /// Resets the statement and its bindings for another run.
    Statement& reset();
    // Parameters count from 1, as SQLite counts them.
    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, std::string_view bytes);  ///< as a BLOB: texts are raw bytes
    /// Steps once: true while a row is there. `rc` receives the result code.
    bool step(int& rc);
    /// Runs to the end: the SQLite result code (SQLITE_DONE on success).
    int run();

    std::int64_t integer(int column) const;
    std::string bytes(int column) const;
    /// The bytes of `column` without a copy; valid until the next step or reset.
    std::string_view view(int column) const;

private:
    sqlite3_stmt* m_stmt = nullptr;
};

/// An open database file.
class Database {
public:
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    /// Opens `path`; `create` allows making a new file, `readOnly` opens without writing.
    /// `unchanging` (read-only only) promises that nobody writes the file meanwhile, so SQLite
    /// makes no -wal or -shm file beside it. Error text names the file and the reason.
    std::optional<std::string> open(const std::string& path, bool create, bool readOnly, bool unchanging = false);
    void close();

    sqlite3* handle() const { return m_db; }
    const std::string& path() const { return m_path; }
    /// Runs statements that return no rows. SQLite result code.
    int exec(const char* sql);
    /// "cannot <doing> <path>: <reason>" for the last failure with result code `rc`.
    std::string error(const char* doing, int rc) const;

private:
    sqlite3* m_db = nullptr;
    std::string m_path;
};

}  // namespace conduit
