// The module context guard, in this test program's own copy of the framework.
#include <gtest/gtest.h>

#include <stdexcept>

#include "framework/ModuleContext.h"

namespace {

class ModuleContext : public ::testing::Test {
protected:
    void SetUp() override { m_before = VeskSetModuleState(&m_callerState); }
    void TearDown() override { VeskSetModuleState(m_before); }

    VESK_MODULE_STATE m_callerState{};
    VESK_MODULE_STATE* m_before = nullptr;
};

TEST_F(ModuleContext, SelectsThePluginsStateAndRestoresTheCallersAlsoWhenNested) {
    VESK_MODULE_STATE* const plugin = &vesk::framework::pluginModuleState();
    {
        CModuleContext outer;
        EXPECT_EQ(VeskGetModuleState(), plugin);
        {
            // A call into the plug-in from inside the plug-in (a wizard page calling an export).
            CModuleContext inner;
            EXPECT_EQ(VeskGetModuleState(), plugin);
        }
        EXPECT_EQ(VeskGetModuleState(), plugin) << "the inner guard must restore the outer selection";
    }
    EXPECT_EQ(VeskGetModuleState(), &m_callerState);
}

TEST_F(ModuleContext, RestoresTheCallersStateWhenAnExceptionPasses) {
    EXPECT_THROW(
        {
            CModuleContext context;
            throw std::runtime_error("from inside the plug-in");
        },
        std::runtime_error);
    EXPECT_EQ(VeskGetModuleState(), &m_callerState);
}

}  // namespace
