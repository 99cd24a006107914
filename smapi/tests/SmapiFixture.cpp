#include "SmapiFixture.h"

#include "framework/PasswordScramble.h"
#include "win32/Profile.h"

namespace smapitest {

void writeConfig(const std::string& path, const std::string& host, const std::string& account,
                 const std::string& password) {
    WritePrivateProfileStringA("SmapiPlugin", "MsgHostName", host.c_str(), path.c_str());
    std::string section = "SmapiPlugin " + host;
    WritePrivateProfileStringA(section.c_str(), "UserAccount", account.c_str(), path.c_str());
    WritePrivateProfileStringA(section.c_str(), "UserData", ScramblePassword(password).c_str(), path.c_str());
}

CMsg fromHost(const std::string& id) { return testbench::fromHostBytes(id.c_str(), id.size() + 1); }

void SmapiFakeTest::SetUp() {
    m_bench.setUp("smapi-test", "SAVIDNE.DLL");
    if (HasFatalFailure()) return;
    dir = m_bench.dir();
    config = dir + "/conduit.ini";
    fakemapi::reset();
    fakemapi::script().attachmentFolder = dir;
    app.Binding().UseFunctions(fakemapi::functions());
    ASSERT_TRUE(app.Binding().IsBound());
}

void SmapiFakeTest::TearDown() {
    app.Binding().Unbind();
    fakemapi::reset();
    m_bench.tearDown();
}

void SmapiFakeTest::logOn() {
    writeConfig(config, "Eudora 3.0.1 or higher", "anna", "s3cret");
    ASSERT_EQ(app.Logon(1, config.c_str()), MAILHOST_OK);
    ASSERT_EQ(app.Session(), fakemapi::script().sessionHanded);
    fakemapi::calls().clear();
}

}  // namespace smapitest
