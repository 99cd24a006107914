#include "handheld/Sqlite.h"

#include <sqlite3.h>

#include <cctype>
#include <utility>

namespace conduit {

Statement::Statement(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

Statement::~Statement() { sqlite3_finalize(m_stmt); }

Statement::Statement(Statement&& other) noexcept : m_stmt(std::exchange(other.m_stmt, nullptr)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_stmt = std::exchange(other.m_stmt, nullptr);
    }
    return *this;
}

Statement& Statement::reset() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    return *this;
}

Statement& Statement::bind(int index, std::int64_t value) {
    sqlite3_bind_int64(m_stmt, index, value);
    return *this;
}

Statement& Statement::bind(int index, std::string_view bytes) {
    // An empty blob still binds as a value, never as NULL.
    sqlite3_bind_blob64(m_stmt, index, bytes.empty() ? "" : bytes.data(), bytes.size(), SQLITE_TRANSIENT);
    return *this;
}

bool Statement::step(int& rc) {
    rc = sqlite3_step(m_stmt);
    return rc == SQLITE_ROW;
}

int Statement::run() {
    int rc;
    while (step(rc)) {
    }
    sqlite3_reset(m_stmt);
    return rc;
}

std::int64_t Statement::integer(int column) const { return sqlite3_column_int64(m_stmt, column); }

std::string Statement::bytes(int column) const {
    const void* data = sqlite3_column_blob(m_stmt, column);
    int size = sqlite3_column_bytes(m_stmt, column);
    return data ? std::string(static_cast<const char*>(data), static_cast<size_t>(size)) : std::string();
}

std::string_view Statement::view(int column) const {
    const void* data = sqlite3_column_blob(m_stmt, column);
    int size = sqlite3_column_bytes(m_stmt, column);
    return data ? std::string_view(static_cast<const char*>(data), static_cast<size_t>(size)) : std::string_view();
}

Database::~Database() { close(); }

void Database::close() {
    // Statements are finalised by their owners first; v2 closes once the last one goes.
    if (m_db) sqlite3_close_v2(m_db);
    m_db = nullptr;
}

namespace {

// `path` as a file: URI, every byte SQLite could read as syntax percent-encoded.
std::string fileUri(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string uri = "file:";
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '.' || c == '-' || c == '_') {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

}  // namespace

std::optional<std::string> Database::open(const std::string& path, bool create, bool readOnly, bool unchanging) {
    close();
    m_path = path;
    int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    std::string uri = fileUri(path) + (readOnly && unchanging ? "?immutable=1" : "");
    int rc = sqlite3_open_v2(uri.c_str(), &m_db, flags | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI, nullptr);
    if (rc != SQLITE_OK) {
        std::string text = error("open", rc);
        close();
        return text;
    }
    sqlite3_extended_result_codes(m_db, 1);
    // Another conduit reading while this one commits waits a moment instead of failing.
    sqlite3_busy_timeout(m_db, 5000);
    if (!readOnly && sqlite3_db_readonly(m_db, "main") == 1) {
        close();
        return "cannot write " + path + ": the file (or its folder) is read-only";
    }
    return std::nullopt;
}

int Database::exec(const char* sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr); }

std::string Database::error(const char* doing, int rc) const {
    std::string reason = sqlite3_errstr(rc);
    if (m_db && sqlite3_errcode(m_db) == rc) reason = sqlite3_errmsg(m_db);
    return std::string("cannot ") + doing + " " + m_path + ": " + reason + " (SQLite code " +
           std::to_string(rc) + ")";
}

}  // namespace conduit
