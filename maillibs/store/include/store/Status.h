// Results of the mail store: a small status enum and an expected-like holder for a value or a
// status. Nothing in the store's API throws; every failure comes back as one of these.
#pragma once

#include <cassert>
#include <optional>
#include <string_view>
#include <utility>

namespace vesk::store {

/// What a store call reports. `Ok` is the only success.
enum class Status {
    Ok = 0,
    InvalidArgument,  ///< malformed identifier, folder name, flag letter or draft
    NotFound,         ///< no such folder, message or attachment
    Exists,           ///< the folder or file name is taken
    IoError,          ///< a system call failed (disk full, permissions, ...)
    ParseError,       ///< the file is not a message the MIME library can read
    OutOfMemory,      ///< an allocation failed
};

/// A short English description of `status` (static text, never null), for logs and tools.
const char* describe(Status status);

/// Holds either a value (the call succeeded) or a failure status. Reading `value()` of a
/// failed result is a programming error (asserted).
template <class T>
class Result {
public:
    Result(T value) : m_value(std::move(value)) {}  // NOLINT: implicit on purpose
    Result(Status status) : m_status(status) { assert(status != Status::Ok); }  // NOLINT

    bool ok() const { return m_status == Status::Ok; }
    explicit operator bool() const { return ok(); }
    Status status() const { return m_status; }

    T& value() & { assert(ok()); return *m_value; }
    const T& value() const& { assert(ok()); return *m_value; }
    T&& value() && { assert(ok()); return std::move(*m_value); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

private:
    std::optional<T> m_value;
    Status m_status = Status::Ok;
};

}  // namespace vesk::store
