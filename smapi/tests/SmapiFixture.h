// Benches of Salvith's tests.
//
// SmapiFakeTest: a host object of its own with the recording fake bound in the library's
// place, the English language library selected, and a configuration file in a temporary
// folder. It checks the exact calls the backend makes.
//
// The end-to-end benches (SalvithEndToEndTest.cpp) load salvith.so as the conduit does.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "FakeMapi.h"
#include "SalvithApp.h"
#include "framework/Msg.h"

namespace smapitest {

/// Writes a configuration file naming `host` with its account and (scrambled) password.
void writeConfig(const std::string& path, const std::string& host, const std::string& account,
                 const std::string& password);

/// A caller's record built from a CMsg, released when it goes.
class Record {
public:
    explicit Record(const CMsg& msg);
    ~Record();
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;
    MailMsg* get() const { return m_msg; }
    MailMsg* operator->() const { return m_msg; }

private:
    MailMsg* m_msg = nullptr;
};

/// A record that came from GetAllMsgs: came-from-host bit and identifier `id` with its NUL.
CMsg fromHost(const std::string& id);

class SmapiFakeTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    /// Logs the app on through the fake (settings from `config`) and forgets the calls so far.
    void logOn();

    CSalvithApp app;
    std::string dir;
    std::string config;

private:
    HMODULE m_language = nullptr;
    HINSTANCE m_previousResources = nullptr;
};

}  // namespace smapitest
