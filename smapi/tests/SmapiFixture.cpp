#include "SmapiFixture.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "framework/PasswordScramble.h"
#include "win32/Module.h"
#include "win32/ModuleState.h"
#include "win32/Profile.h"

namespace smapitest {

void writeConfig(const std::string& path, const std::string& host, const std::string& account,
                 const std::string& password) {
    WritePrivateProfileStringA("SmapiPlugin", "MsgHostName", host.c_str(), path.c_str());
    std::string section = "SmapiPlugin " + host;
    WritePrivateProfileStringA(section.c_str(), "UserAccount", account.c_str(), path.c_str());
    WritePrivateProfileStringA(section.c_str(), "UserData", ScramblePassword(password).c_str(), path.c_str());
}

Record::Record(const CMsg& msg) { EXPECT_EQ(msg.ToMailMsg(&m_msg), MAILHOST_OK); }
Record::~Record() { ReleaseMailMsg(m_msg); }

CMsg fromHost(const std::string& id) {
    CMsg msg;
    msg.m_hostMsgId.Set(id.c_str(), static_cast<uint32_t>(id.size() + 1));
    msg.m_flags |= MAILMSG_FLAG_FROM_HOST;
    return msg;
}

void SmapiFakeTest::SetUp() {
    char pattern[] = "/tmp/smapi-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir = pattern;
    config = dir + "/conduit.ini";
    ::setenv("VESK_HOME", dir.c_str(), 1);
    ::setenv("VESK_LIBRARY_PATH", VESK_TEST_MODULE_DIR, 1);
    ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    ::tzset();
    // The English language library serves every string, as in the plug-in.
    m_language = LoadLibraryA("SAVIDNE.DLL");
    ASSERT_NE(m_language, nullptr);
    m_previousResources = VeskGetModuleState()->hResource;
    VeskGetModuleState()->hResource = m_language;
    fakemapi::reset();
    fakemapi::script().attachmentFolder = dir;
    app.Binding().UseFunctions(fakemapi::functions());
    ASSERT_TRUE(app.Binding().IsBound());
}

void SmapiFakeTest::TearDown() {
    app.Binding().Unbind();
    VeskGetModuleState()->hResource = m_previousResources;
    if (m_language != nullptr) FreeLibrary(m_language);
    fakemapi::reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

void SmapiFakeTest::logOn() {
    writeConfig(config, "Eudora 3.0.1 or higher", "anna", "s3cret");
    ASSERT_EQ(app.Logon(1, config.c_str()), MAILHOST_OK);
    ASSERT_EQ(app.Session(), fakemapi::script().sessionHanded);
    fakemapi::calls().clear();
}

}  // namespace smapitest
