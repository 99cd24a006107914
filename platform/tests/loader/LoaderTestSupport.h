// Paths of the loader fixtures and a guard for $VESK_LIBRARY_PATH.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace loadertest {

/// The folder of the fixture modules (platform/tests/fixtures/CMakeLists.txt).
inline std::string fixtureDir() {
    return std::string(VESK_TEST_MODULE_DIR) + "/fixtures/loader";
}

inline std::string fixturePath(const std::string& relative) {
    return fixtureDir() + "/" + relative;
}

/// Sets $VESK_LIBRARY_PATH (or removes it, given nothing) and puts the old value back.
class ScopedLibraryPath {
public:
    explicit ScopedLibraryPath(const std::optional<std::string>& value) {
        if (const char* old = std::getenv("VESK_LIBRARY_PATH")) m_old = old;
        if (value) {
            setenv("VESK_LIBRARY_PATH", value->c_str(), 1);
        } else {
            unsetenv("VESK_LIBRARY_PATH");
        }
    }
    ~ScopedLibraryPath() {
        if (m_old) {
            setenv("VESK_LIBRARY_PATH", m_old->c_str(), 1);
        } else {
            unsetenv("VESK_LIBRARY_PATH");
        }
    }
    ScopedLibraryPath(const ScopedLibraryPath&) = delete;
    ScopedLibraryPath& operator=(const ScopedLibraryPath&) = delete;

private:
    std::optional<std::string> m_old;
};

}  // namespace loadertest
