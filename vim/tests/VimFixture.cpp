#include "VimFixture.h"

#include "framework/PasswordScramble.h"
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

CMsg fromHost(uint32_t ref) {
    const vimRef r = fakevim::refOf(ref);
    return testbench::fromHostBytes(&r, sizeof r);
}

void VimFakeTest::SetUp() {
    m_bench.setUp("vim-test", "KESTRAV.DLL");
    if (HasFatalFailure()) return;
    dir = m_bench.dir();
    config = dir + "/conduit.ini";
    fakevim::reset();
    app.Binding().UseFunctions(fakevim::functions());
    ASSERT_TRUE(app.Binding().IsBound());
}

void VimFakeTest::TearDown() {
    app.Logoff();
    app.Uninitialize();
    app.Binding().Unbind();
    fakevim::reset();
    m_bench.tearDown();
}

void VimFakeTest::logOn(const std::string& gateway) {
    writeConfig(config, "anna", "s3cret", "/po/main", gateway);
    ASSERT_EQ(app.Initialize(), MAILHOST_OK);
    ASSERT_EQ(app.Logon(1, config.c_str()), MAILHOST_OK);
    ASSERT_NE(app.Container(), nullptr);
    fakevim::calls().clear();
}

}  // namespace vimtest
