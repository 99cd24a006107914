// Where the desktop folder is, for each combination of the environment variables that name it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <map>
#include <optional>
#include <string>

#include "platform/VeskHome.h"

namespace {

struct HomeRow {
    const char* what;
    const char* veskHome;     // null: unset
    const char* xdgDataHome;  // null: unset
    const char* home;         // null: unset
    const char* expected;
};

const HomeRow kRows[] = {
    {"VESK_HOME wins", "/d/vesk", "/x", "/h", "/d/vesk"},
    {"trailing slash dropped", "/d/vesk/", nullptr, "/h", "/d/vesk"},
    {"empty VESK_HOME ignored", "", "/x", "/h", "/x/vesk"},
    {"XDG data folder", nullptr, "/x/data", "/h", "/x/data/vesk"},
    {"relative XDG folder ignored", nullptr, "rel", "/h", "/h/.local/share/vesk"},
    {"empty XDG folder ignored", nullptr, "", "/h", "/h/.local/share/vesk"},
    {"HOME fallback", nullptr, nullptr, "/h/", "/h/.local/share/vesk"},
    {"root HOME", nullptr, nullptr, "/", "/.local/share/vesk"},
};

// Sets the three variables for one test and puts the originals back afterwards.
class HomeEnvironment : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name : kNames) {
            const char* value = getenv(name);
            saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) set(name.c_str(), value ? value->c_str() : nullptr);
    }
    static void set(const char* name, const char* value) {
        if (value != nullptr) setenv(name, value, 1);
        else unsetenv(name);
    }
    static constexpr const char* kNames[] = {"VESK_HOME", "XDG_DATA_HOME", "HOME"};
    std::map<std::string, std::optional<std::string>> saved_;
};

// The environment is read on every call, so each row sees its own values.
TEST_F(HomeEnvironment, EveryRow) {
    for (const HomeRow& row : kRows) {
        SCOPED_TRACE(row.what);
        set("VESK_HOME", row.veskHome);
        set("XDG_DATA_HOME", row.xdgDataHome);
        set("HOME", row.home);
        EXPECT_EQ(vesk::home(), row.expected);
    }
}

}  // namespace
