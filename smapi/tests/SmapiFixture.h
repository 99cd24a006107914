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
#include "support/PluginTestBench.h"

namespace smapitest {

/// Writes a configuration file naming `host` with its account and (scrambled) password.
void writeConfig(const std::string& path, const std::string& host, const std::string& account,
                 const std::string& password);

using testbench::Record;

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
    testbench::PluginTestBench m_bench;
};

}  // namespace smapitest
