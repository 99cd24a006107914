// mailconduit setup: the Mail Setup sequence for a person. The plug-in names the mail
// systems it serves, the person picks one, the plug-in's wizard runs over a presenter window
// (the terminal, plain lines, or a script), and a finished wizard's settings are stored in
// the configuration file, which is then described as the plug-in sees it.
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "commands/CommandSupport.h"
#include "display/Display.h"
#include "desktop/FileIo.h"
#include "desktop/Paths.h"
#include "host/ResultCodes.h"
#include "platform/ScriptedPresenter.h"
#include "win32/Window.h"

namespace conduit {

namespace {

// The presenter window the wizard runs over, destroyed with this object.
class PresenterWindow {
public:
    PresenterWindow() = default;
    ~PresenterWindow() {
        if (m_window != nullptr) DestroyWindow(m_window);
    }
    PresenterWindow(const PresenterWindow&) = delete;
    PresenterWindow& operator=(const PresenterWindow&) = delete;

    /// Creates it: scripted with the actions of `script` (and a transcript written to
    /// `transcript`, unless empty), else the terminal when there is one, else plain lines.
    /// False with a reason in `*why`.
    bool create(const std::string& script, const std::string& transcript, std::string* why) {
        if (script.empty()) {
            m_window = VeskCreatePresenterWindow(VESK_PRESENTER_AUTO, nullptr);
            if (m_window == nullptr) *why = "no window to show the wizard in";
            return m_window != nullptr;
        }
        std::vector<vesk::ui::ScriptAction> actions;
        std::string error;
        if (!vesk::ui::loadScript(script, &actions, &error)) {
            *why = "the script " + script + ": " + error;
            return false;
        }
        std::shared_ptr<vesk::ui::ScriptedPresenter> presenter;
        m_window = vesk::ui::createScriptedPresenterWindow(std::move(actions), &presenter);
        if (m_window == nullptr) {
            *why = "no window to show the wizard in";
            return false;
        }
        if (!transcript.empty()) {
            presenter->setTranscriptFile(transcript);
            if (presenter->transcriptFailed()) {
                *why = "the transcript " + transcript + " cannot be written";
                return false;
            }
        }
        m_script = script;
        m_transcript = transcript;
        m_presenter = std::move(presenter);
        return true;
    }
    HWND get() const { return m_window; }

    /// What went wrong with the script or its transcript, naming the file (and the script's
    /// line); empty when nothing did or no script plays.
    std::string scriptProblem() const {
        if (!m_presenter) return "";
        if (!m_presenter->scriptError().empty()) return "the script " + m_script + ", " + m_presenter->scriptError();
        if (m_presenter->transcriptFailed()) return "the transcript " + m_transcript + " could not be written";
        return "";
    }
    /// The first script line not played, 0 when all were (or no script plays).
    int firstUnplayedLine() const { return m_presenter ? m_presenter->firstUnplayedLine() : 0; }

private:
    HWND m_window = nullptr;
    std::shared_ptr<vesk::ui::ScriptedPresenter> m_presenter;
    std::string m_script;
    std::string m_transcript;
};

// Lists `hosts` with numbers and reads the person's choice; nothing when the input ends.
std::optional<std::string> askForHost(const std::vector<std::string>& hosts, CommandContext& context) {
    context.err << "Mail systems:\n";
    for (size_t i = 0; i < hosts.size(); ++i) context.err << "  " << (i + 1) << ". " << shown(hosts[i]) << "\n";
    for (;;) {
        context.err << "Choose a mail system [1-" << hosts.size() << "]: " << std::flush;
        std::string line;
        if (!std::getline(context.in, line)) {
            context.err << "\n";
            return std::nullopt;
        }
        std::istringstream words(line);
        size_t number = 0;
        std::string rest;
        if (words >> number && !(words >> rest) && number >= 1 && number <= hosts.size()) return hosts[number - 1];
        context.err << "Type a number from the list.\n";
    }
}

// The host `wanted` (UTF-8, as typed) among `hosts`, by its exact name.
std::optional<std::string> findHost(const std::vector<std::string>& hosts, const std::string& wanted) {
    const std::string name = typed(wanted);
    for (const std::string& host : hosts) {
        if (host == name) return host;
    }
    return std::nullopt;
}

// Prints the plug-in's description of what `config` now holds, indented.
void describeStored(const PluginHost& plugin, const std::string& config, CommandContext& context) {
    std::string text;
    if (plugin.configInfo(config, text) != MAILHOST_OK) return;
    std::istringstream lines(shownText(text));
    for (std::string line; std::getline(lines, line);) context.out << "  " << line << "\n";
}

// Why settings cannot be stored in `config`, or nothing when they can: the file must be a
// file, and its folder must take the new copy that replaces it.
std::optional<std::string> unwritableConfig(const std::string& config) {
    struct stat info{};
    if (::stat(config.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return config + (S_ISDIR(info.st_mode) ? " is a folder" : " is not a plain file") +
               ", not a configuration file (name a file with --config)";
    }
    const std::string folder = folderOf(config);
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        return "the folder " + folder + " cannot be written to (" + std::strerror(errno) + ")";
    }
    return std::nullopt;
}

// The bytes of `path`, or nothing when it cannot be read.
std::optional<std::string> contentsOf(const std::string& path) {
    std::string bytes;
    if (readFile(path, bytes) != 0) return std::nullopt;
    return bytes;
}

}  // namespace

int runSetupCommand(const std::vector<std::string>& args, CommandContext& context) {
    ParsedArgs parsed;
    if (auto error = parseArgs(args,
                               {{"plugin", true}, {"config", true}, {"host", true}, {"in-mail-setup", false},
                                {"script", true}, {"transcript", true}},
                               parsed)) {
        return usageError(context, "setup", *error);
    }
    if (parsed.help) {
        context.out << commandHelp("setup");
        return kExitOk;
    }
    if (!parsed.has("plugin")) return usageError(context, "setup", "--plugin is required");
    if (!parsed.positionals.empty()) return usageError(context, "setup", "unexpected " + parsed.positionals[0]);
    if (parsed.has("transcript") && !parsed.has("script")) {
        return usageError(context, "setup", "--transcript goes with --script");
    }
    const std::string pluginName = parsed.value("plugin");
    const std::string config = configFileFor(parsed, pluginName, desktopHome());
    const std::string script = parsed.has("script") ? absolutePath(parsed.value("script")) : "";
    const std::string transcript = parsed.has("transcript") ? absolutePath(parsed.value("transcript")) : "";
    const int inMailSetup = parsed.flag("in-mail-setup") ? 1 : 0;

    std::unique_ptr<PluginHost> plugin = loadPluginFor("setup", pluginName, context);
    if (!plugin) return kExitCannotRun;
    const PluginExports& exports = plugin->exports();

    std::vector<std::string> hosts;
    if (int rc = plugin->supportedHosts(hosts); rc != MAILHOST_OK) {
        context.err << "mailconduit setup: GetSupportedHosts failed: " << describeResult(rc) << "\n";
        return kExitCannotRun;
    }
    if (hosts.empty()) {
        context.err << "mailconduit setup: " << pluginName << " names no mail system it serves\n";
        return kExitCannotRun;
    }

    // Without --host the person picks from the list, and Back out of the wizard returns to it.
    const bool ask = !parsed.has("host");
    std::optional<std::string> host;
    if (!ask) {
        host = findHost(hosts, parsed.value("host"));
        if (!host) {
            std::string names;
            for (const std::string& name : hosts) names += "\n  " + shown(name);
            return usageError(context, "setup",
                              "no mail system \"" + parsed.value("host") + "\"; " + pluginName + " serves:" + names);
        }
    } else if (!context.inputIsTerminal && hosts.size() > 1) {
        return usageError(context, "setup", "no terminal to choose a mail system on: name one with --host");
    }

    if (int err = makeFolders(folderOf(config))) {
        context.err << "mailconduit setup: cannot create the folder of " << config << ": " << std::strerror(err)
                    << "\n";
        return kExitCannotRun;
    }
    if (std::optional<std::string> why = unwritableConfig(config)) {
        context.err << "mailconduit setup: the settings cannot be saved: " << *why << "; nothing was saved\n";
        return kExitSomeFailed;
    }
    PresenterWindow window;
    std::string why;
    if (!window.create(script, transcript, &why)) {
        context.err << "mailconduit setup: " << why << "\n";
        return kExitCannotRun;
    }

    for (;;) {
        if (ask) {
            host = hosts.size() == 1 ? std::optional<std::string>(hosts[0]) : askForHost(hosts, context);
            if (!host) {
                context.err << "mailconduit setup: no mail system chosen; nothing was saved\n";
                return kExitSomeFailed;
            }
        }
        context.err << "Mail Setup for " << shown(*host) << "\n";
        int outcome = MAILHOST_WIZARD_CANCELLED;
        const int rc = exports.DisplayConfigWizardPages(window.get(), config.c_str(), host->c_str(), 0, 0,
                                                        inMailSetup, &outcome);
        if (rc != MAILHOST_OK) {
            // Whatever the plug-in held from before stays out of the file.
            exports.SetHostConfigInfo(config.c_str(), 0);
            context.err << "mailconduit setup: the wizard failed: " << describeResult(rc) << "\n";
            return kExitCannotRun;
        }
        if (std::string problem = window.scriptProblem(); !problem.empty()) {
            exports.SetHostConfigInfo(config.c_str(), 0);
            context.err << "mailconduit setup: " << problem << "; nothing was saved\n";
            return kExitCannotRun;
        }
        if (int line = window.firstUnplayedLine(); line > 0) {
            context.err << "mailconduit setup: the wizard ended before the script did: lines from " << line << " of "
                        << script << " were not played\n";
        }
        if (outcome == MAILHOST_WIZARD_FINISHED) {
            const bool stored = exports.SetHostConfigInfo(config.c_str(), 1) == 1;
            // The plug-in's profile writes do not report failure, so the file itself is asked
            // whether they arrived.
            const std::optional<std::string> after = contentsOf(config);
            if (!stored || !after || after->empty()) {
                context.err << "mailconduit setup: " << pluginName << " did not store the settings in " << config
                            << (after ? "" : " (the file is not there afterwards)") << "; nothing was saved\n";
                return kExitSomeFailed;
            }
            context.out << "Mail Setup finished. Settings saved in " << config << ":\n";
            describeStored(*plugin, config, context);
            return kExitOk;
        }
        exports.SetHostConfigInfo(config.c_str(), 0);
        if (outcome == MAILHOST_WIZARD_BACK && ask && hosts.size() > 1) {
            context.err << "Back from the wizard: choose the mail system again.\n";
            continue;
        }
        context.err << "mailconduit setup: "
                    << (outcome == MAILHOST_WIZARD_BACK ? "went back out of the wizard" : "Mail Setup was cancelled")
                    << "; nothing was saved\n";
        if (exists(config)) {
            context.out << "Settings in " << config << " (unchanged):\n";
            describeStored(*plugin, config, context);
        }
        return kExitSomeFailed;
    }
}

}  // namespace conduit
