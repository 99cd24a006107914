#include "PluginTestBench.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "win32/Module.h"
#include "win32/ModuleState.h"

namespace testbench {

void PluginTestBench::setUp(const char* prefix, const char* languageLibrary) {
    std::string pattern = std::string("/tmp/") + prefix + "-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    m_dir = pattern;
    ::setenv("VESK_HOME", m_dir.c_str(), 1);
    ::setenv("VESK_LIBRARY_PATH", VESK_TEST_MODULE_DIR, 1);
    ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    ::tzset();
    m_language = LoadLibraryA(languageLibrary);
    ASSERT_NE(m_language, nullptr) << languageLibrary;
    m_previousResources = VeskGetModuleState()->hResource;
    VeskGetModuleState()->hResource = m_language;
}

void PluginTestBench::tearDown() {
    if (m_language != nullptr) {
        VeskGetModuleState()->hResource = m_previousResources;
        FreeLibrary(m_language);
        m_language = nullptr;
    }
    if (!m_dir.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
}

Record::Record(const CMsg& msg) { EXPECT_EQ(msg.ToMailMsg(&m_msg), MAILHOST_OK); }
Record::~Record() { ReleaseMailMsg(m_msg); }

CMsg fromHostBytes(const void* id, std::size_t size) {
    CMsg msg;
    msg.m_hostMsgId.Set(id, static_cast<uint32_t>(size));
    msg.m_flags |= MAILMSG_FLAG_FROM_HOST;
    return msg;
}

}  // namespace testbench
