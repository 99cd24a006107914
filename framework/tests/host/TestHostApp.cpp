// A host object that records what reaches it. Built twice, as testhost_a.so and
// testhost_b.so (TESTHOST_NAME tells them apart), and loaded by the tests exactly as the
// conduit loads a plug-in.
#include <cstring>
#include <stdexcept>
#include <string>

#include "framework/HostApp.h"
#include "framework/ModuleContext.h"
#include "framework/ResourceStrings.h"
#include "probe/HostProbe.h"

namespace {

class CTestHostApp : public CMailHostApp {
public:
    CTestHostApp() : m_language(hostprobe::languageLibrary()) { record("construct"); }
    ~CTestHostApp() override { record("destroy"); }

    int Initialize() override { return route("Initialize", ""); }
    int Uninitialize() override { return route("Uninitialize", ""); }
    int Logon(int syncLogon, const char* configFile) override {
        return route("Logon", hostprobe::describe(syncLogon, configFile));
    }
    int Logoff() override { return route("Logoff", ""); }
    int GetHostConfigInfo(const char* configFile, char* textOut, int* textSize) override {
        // Delivers a resource string under the usual buffer rule, so the tests can see which
        // resources are in force during a call.
        const std::string text = LoadResString(hostprobe::stringId());
        if (textOut != nullptr && textSize != nullptr && *textSize > static_cast<int>(text.size())) {
            std::memcpy(textOut, text.c_str(), text.size() + 1);
        } else if (textSize != nullptr) {
            *textSize = static_cast<int>(text.size()) + 1;
        }
        return route("GetHostConfigInfo", hostprobe::describe(configFile, textOut, textSize));
    }
    int SetHostConfigInfo(const char* configFile, int save) override {
        return route("SetHostConfigInfo", hostprobe::describe(configFile, save));
    }
    int GetSupportedHosts(char* hostsOut, int* hostsSize) override {
        return route("GetSupportedHosts", hostprobe::describe(hostsOut, hostsSize));
    }
    int DisplayConfigWizardPages(HWND parent, const char* configFile, const char* hostName, int unused1,
                                 int unused2, int inMailSetup, int* outcome) override {
        // Stands for a wizard page passing a command up to the host object.
        if (const UINT id = hostprobe::command()) {
            hostprobe::Event event = snapshot("command");
            event.value = OnCommand(id, parent);
            hostprobe::recordEvent(event);
        }
        return route("DisplayConfigWizardPages",
                     hostprobe::describe(parent, configFile, hostName, unused1, unused2, inMailSetup, outcome));
    }
    int GetAllMsgs(MailMsg*** msgsOut, int* countOut, int headersOnly) override {
        return route("GetAllMsgs", hostprobe::describe(msgsOut, countOut, headersOnly));
    }
    int SetMsg(const MailMsg* msg) override { return route("SetMsg", hostprobe::describe(msg)); }
    int SendMsg(const MailMsg* msg) override { return route("SendMsg", hostprobe::describe(msg)); }
    int DeleteMsg(const MailMsg* msg) override { return route("DeleteMsg", hostprobe::describe(msg)); }
    int SetMsgReadStatus(const MailMsg* msg, int read) override {
        return route("SetMsgReadStatus", hostprobe::describe(msg, read));
    }
    int SetMsgPriority(const MailMsg* msg, int priority) override {
        return route("SetMsgPriority", hostprobe::describe(msg, priority));
    }
    int FreeMailMsg(MailMsg** msgs, int count) override {
        return route("FreeMailMsg", hostprobe::describe(msgs, count));
    }

    const char* GetLanguageLibraryName() const override { return m_language.c_str(); }

    BOOL InitInstance() override {
        record("init-begin");
        const BOOL result = CMailHostApp::InitInstance();
        record("init");
        return result;
    }

    int ExitInstance() override {
        record("exit-begin");
        const int result = CMailHostApp::ExitInstance();
        record("exit-end");
        return result;
    }

private:
    hostprobe::Event snapshot(const char* what) const {
        const VESK_MODULE_STATE& own = vesk::framework::pluginModuleState();
        hostprobe::Event event;
        event.plugin = TESTHOST_NAME;
        event.what = what;
        event.app = this;
        event.own = m_hOwnResources;
        event.language = m_hLanguage;
        event.instance = own.hInstance;
        event.resource = own.hResource;
        event.state = VeskGetModuleState();
        event.helpPath = HelpFilePath();
        return event;
    }

    void record(const char* what) const { hostprobe::recordEvent(snapshot(what)); }

    int route(const char* operation, const std::string& arguments) {
        VESK_MODULE_STATE* state = VeskGetModuleState();
        hostprobe::Call call;
        call.plugin = TESTHOST_NAME;
        call.operation = operation;
        call.arguments = arguments;
        call.app = this;
        call.currentApp = Current();
        call.state = state;
        call.instance = state->hInstance;
        call.resource = state->hResource;
        hostprobe::recordCall(call);
        if (hostprobe::throwing()) throw std::runtime_error(operation);
        return hostprobe::result();
    }

    std::string m_language;
};

}  // namespace

VESK_DECLARE_HOST_APP(CTestHostApp)
