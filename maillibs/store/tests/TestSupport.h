// Helpers shared by the store's tests: temporary folders and fixture files.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace vesk::store::test {

/// A fresh folder under $TMPDIR (or /tmp), removed with everything in it on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

/// The bytes of corpus file `name` (relative to tests/corpora/messages).
std::string fixture(const std::string& name);
/// The bytes of the file at `path` (empty when it cannot be read; the test fails then).
std::string slurp(const std::string& path);
/// Writes `data` to `path` (fails the test when it cannot).
void spit(const std::string& path, const std::string& data);
/// Names of the regular files in directory `dir`, sorted.
std::vector<std::string> filesIn(const std::string& dir);

}  // namespace vesk::store::test
