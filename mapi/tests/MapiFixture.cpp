#include "MapiFixture.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "win32/Module.h"
#include "win32/ModuleState.h"
#include "win32/Profile.h"

namespace mapitest {

using namespace fakemapix;

void writeConfig(const std::string& path, const std::string& host, const std::string& profile) {
    WritePrivateProfileStringA("MapiPlugin", "MsgHostName", host.c_str(), path.c_str());
    const std::string section = "MapiPlugin " + host;
    WritePrivateProfileStringA(section.c_str(), "UserMAPIProfile", profile.c_str(), path.c_str());
}

Record::Record(const CMsg& msg) { EXPECT_EQ(msg.ToMailMsg(&m_msg), MAILHOST_OK); }
Record::~Record() { ReleaseMailMsg(m_msg); }

CMsg fromHost(const std::string& id) {
    CMsg msg;
    msg.m_hostMsgId.Set(id.data(), static_cast<uint32_t>(id.size()));
    msg.m_flags |= MAILMSG_FLAG_FROM_HOST;
    return msg;
}

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
    char pattern[] = "/tmp/mapi-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir = pattern;
    config = dir + "/conduit.ini";
    ::setenv("VESK_HOME", dir.c_str(), 1);
    ::setenv("VESK_LIBRARY_PATH", VESK_TEST_MODULE_DIR, 1);
    // A zone with daylight saving time, so that a conversion through today's offset shows.
    ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    ::tzset();
    m_language = LoadLibraryA("MORLEAF.DLL");
    ASSERT_NE(m_language, nullptr);
    m_previousResources = VeskGetModuleState()->hResource;
    VeskGetModuleState()->hResource = m_language;
    reset();
    app.Binding().UseFunctions(functions());
    app.SetMapiInitialised(true);
}

void MapiFakeTest::TearDown() {
    app.Logoff();
    app.SetMapiInitialised(false);
    VeskGetModuleState()->hResource = m_previousResources;
    if (m_language != nullptr) FreeLibrary(m_language);
    reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
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
