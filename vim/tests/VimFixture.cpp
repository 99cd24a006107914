#include "VimFixture.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "framework/PasswordScramble.h"
#include "win32/Module.h"
#include "win32/ModuleState.h"
#include "win32/Profile.h"

namespace vimtest {

const char kHost[] = "Lotus cc:Mail 6.0 or higher";

void writeConfig(const std::string& path, const std::string& user, const std::string& password,
                 const std::string& postOffice, const std::string& gateway) {
    WritePrivateProfileStringA("VimPlugin", "MsgHostName", kHost, path.c_str());
    const std::string section = std::string("VimPlugin ") + kHost;
    WritePrivateProfileStringA(section.c_str(), "UserAccount", user.c_str(), path.c_str());
    WritePrivateProfileStringA(section.c_str(), "UserData", ScramblePassword(password).c_str(), path.c_str());
    WritePrivateProfileStringA(section.c_str(), "PostOfficePath", postOffice.c_str(), path.c_str());
    WritePrivateProfileStringA(section.c_str(), "InternetGateway", gateway.c_str(), path.c_str());
}

Record::Record(const CMsg& msg) { EXPECT_EQ(msg.ToMailMsg(&m_msg), MAILHOST_OK); }
Record::~Record() { ReleaseMailMsg(m_msg); }

CMsg fromHost(uint32_t ref) {
    CMsg msg;
    const vimRef r = fakevim::refOf(ref);
    msg.m_hostMsgId.Set(&r, sizeof r);
    msg.m_flags |= MAILMSG_FLAG_FROM_HOST;
    return msg;
}

void VimFakeTest::SetUp() {
    char pattern[] = "/tmp/vim-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir = pattern;
    config = dir + "/conduit.ini";
    ::setenv("VESK_HOME", dir.c_str(), 1);
    ::setenv("VESK_LIBRARY_PATH", VESK_TEST_MODULE_DIR, 1);
    ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    ::tzset();
    m_language = LoadLibraryA("KESTRAV.DLL");
    ASSERT_NE(m_language, nullptr);
    m_previousResources = VeskGetModuleState()->hResource;
    VeskGetModuleState()->hResource = m_language;
    fakevim::reset();
    app.Binding().UseFunctions(fakevim::functions());
    ASSERT_TRUE(app.Binding().IsBound());
}

void VimFakeTest::TearDown() {
    app.Logoff();
    app.Uninitialize();
    app.Binding().Unbind();
    VeskGetModuleState()->hResource = m_previousResources;
    if (m_language != nullptr) FreeLibrary(m_language);
    fakevim::reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

void VimFakeTest::logOn(const std::string& gateway) {
    writeConfig(config, "anna", "s3cret", "/po/main", gateway);
    ASSERT_EQ(app.Initialize(), MAILHOST_OK);
    ASSERT_EQ(app.Logon(1, config.c_str()), MAILHOST_OK);
    ASSERT_NE(app.Container(), nullptr);
    fakevim::calls().clear();
}

}  // namespace vimtest
