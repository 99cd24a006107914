#include <gtest/gtest.h>

#include <thread>

#include "win32/Module.h"

namespace {

TEST(LastError, BelongsToTheThreadThatSetIt) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    DWORD seenByOther = 1;
    std::thread other([&seenByOther] {
        seenByOther = GetLastError();
        SetLastError(ERROR_PROC_NOT_FOUND);
    });
    other.join();
    EXPECT_EQ(seenByOther, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

}  // namespace
