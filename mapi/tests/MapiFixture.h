// Benches of Dunmere's unit tests.
//
// MapiFakeTest: a host object of its own with the recording fake (FakeMapix.h) in the
// library's place and MAPI marked initialised, the English language library selected, and a
// configuration file in a temporary folder. It checks the exact calls the backend makes.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "DunmereApp.h"
#include "FakeMapix.h"
#include "framework/Msg.h"
#include "support/PluginTestBench.h"

namespace mapitest {

/// Writes a configuration file naming `host` and its profile.
void writeConfig(const std::string& path, const std::string& host, const std::string& profile);

using testbench::Record;

/// A record that came from GetAllMsgs with entry identifier `id`.
CMsg fromHost(const std::string& id);

/// A stored message with the usual contents-table columns.
fakemapix::StoredMessage storedMessage(const std::string& id, const std::string& subject);

class MapiFakeTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    /// Logs the app on through the fake and forgets the calls so far.
    void logOn();
    /// Every object released and every root block freed, nothing freed wrongly.
    void expectNothingLeft();

    CDunmereApp app;
    std::string dir;
    std::string config;

private:
    testbench::PluginTestBench m_bench;
};

}  // namespace mapitest
