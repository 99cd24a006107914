#include "MapiFixture.h"

#include "win32/Profile.h"

namespace mapitest {

using namespace fakemapix;

void writeConfig(const std::string& path, const std::string& host, const std::string& profile) {
    WritePrivateProfileStringA("MapiPlugin", "MsgHostName", host.c_str(), path.c_str());
    const std::string section = "MapiPlugin " + host;
    WritePrivateProfileStringA(section.c_str(), "UserMAPIProfile", profile.c_str(), path.c_str());
}

CMsg fromHost(const std::string& id) { return testbench::fromHostBytes(id.data(), id.size()); }

StoredMessage storedMessage(const std::string& id, const std::string& subject) {
    StoredMessage m;
    m.entryId = id;
    m.props = {text(PR_SUBJECT, subject),
               number(PR_MESSAGE_FLAGS, 0),
               number(PR_IMPORTANCE, IMPORTANCE_NORMAL),
               text(PR_SENT_REPRESENTING_ADDRTYPE, "SMTP"),
               text(PR_SENT_REPRESENTING_EMAIL_ADDRESS, "anna@example.org"),
               text(PR_SENT_REPRESENTING_NAME, "Anna"),
               number(PR_MESSAGE_SIZE, 1234),
               number(PR_MESSAGE_TO_ME, 1),
               number(PR_MESSAGE_CC_ME, 0)};
    m.body = "Body of " + subject;
    m.recipients = {{text(PR_DISPLAY_NAME, "Teo"), text(PR_ADDRTYPE, "SMTP"), text(PR_EMAIL_ADDRESS, "teo@example.org"),
                     number(PR_RECIPIENT_TYPE, MAPI_TO)}};
    return m;
}

void MapiFakeTest::SetUp() {
    m_bench.setUp("mapi-test", "MORLEAF.DLL");
    if (HasFatalFailure()) return;
    dir = m_bench.dir();
    config = dir + "/conduit.ini";
    reset();
    app.Binding().UseFunctions(functions());
    app.SetMapiInitialised(true);
}

void MapiFakeTest::TearDown() {
    app.Logoff();
    app.SetMapiInitialised(false);
    reset();
    m_bench.tearDown();
}

void MapiFakeTest::logOn() {
    writeConfig(config, "Microsoft Exchange 5.0 or higher", "Teo");
    ASSERT_EQ(app.Logon(0, config.c_str()), MAILHOST_OK);
    ASSERT_NE(app.Mailbox(), nullptr);
    calls().clear();
    details().clear();
}

void MapiFakeTest::expectNothingLeft() {
    EXPECT_EQ(liveObjects(), 0) << ::testing::PrintToString(liveObjectNames());
    EXPECT_EQ(liveBuffers(), 0);
    EXPECT_TRUE(misuses().empty()) << ::testing::PrintToString(misuses());
}

}  // namespace mapitest
