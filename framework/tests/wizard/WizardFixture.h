// The bench of the frame's tests: the test backend's host object with its language library
// selected in a module state of its own, a configuration file in a temporary folder, and runs
// of DisplayConfigWizardPages over a scripted presenter window.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TestWizardBackend.h"
#include "platform/ScriptedPresenter.h"
#include "win32/ModuleState.h"

namespace wizardtest {

/// What one run gave.
struct RunResult {
    int result = -1;
    int outcome = 77;  ///< preset so a run that must not touch it shows that it did not
    std::shared_ptr<vesk::ui::ScriptedPresenter> presenter;

    const vesk::ui::Transcript& transcript() const { return presenter->transcript(); }
};

class WizardFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /// Runs the wizard for `hostName` over a scripted presenter playing `actions`, with the
    /// fixture's configuration file (or `configFile` when given).
    RunResult run(std::vector<vesk::ui::ScriptAction> actions, const std::string& hostName, int inMailSetup,
                  const std::string* configFile = nullptr);
    /// Stores `user` for mail system `host` in the configuration file.
    void storeUser(const std::string& host, const std::string& user);

    TestHostApp app;
    std::string dir;
    std::string config;
    VESK_MODULE_STATE state{};

private:
    VESK_MODULE_STATE* m_previous = nullptr;
    HMODULE m_language = nullptr;
};

/// The exact cancel question of the test language library.
extern const char kCancelQuestion[];

}  // namespace wizardtest
