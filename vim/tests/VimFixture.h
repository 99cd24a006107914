// Benches of Orvek's tests.
//
// VimFakeTest: a host object of its own with the recording fake bound in the library's place,
// the English language library selected, and a configuration file in a temporary folder. It
// checks the exact calls the backend makes.
//
// The end-to-end benches (OrvekEndToEndTest.cpp) load orvek.so as the conduit does.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "FakeVim.h"
#include "OrvekApp.h"
#include "framework/Msg.h"
#include "support/PluginTestBench.h"

namespace vimtest {

/// The mail system name Orvek serves.
extern const char kHost[];

/// Writes a configuration file naming `kHost` with its five settings (password scrambled).
void writeConfig(const std::string& path, const std::string& user, const std::string& password,
                 const std::string& postOffice, const std::string& gateway);

using testbench::Record;

/// A record as GetAllMsgs builds it for scripted message `ref`.
CMsg fromHost(uint32_t ref);

class VimFakeTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    /// Initialize and a full Logon through the fake (settings from `config`), then forgets the
    /// calls so far.
    void logOn(const std::string& gateway = "");
    /// Only the calls of operation `op`.
    static std::vector<std::string> callsOf(const std::string& op) { return fakevim::callsOf(op); }

    COrvekApp app;
    std::string dir;
    std::string config;

private:
    testbench::PluginTestBench m_bench;
};

}  // namespace vimtest
