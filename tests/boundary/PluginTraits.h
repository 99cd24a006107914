// What the shared boundary suite needs to know of one plug-in. Each plug-in describes itself in
// a traits file of its own (SalvithTraits.cpp, DunmereTraits.cpp, ...) and registers it with
// VESK_BOUNDARY_PLUGIN; the suite runs once for every registered plug-in.
#pragma once

#include <string>
#include <vector>

/// An IMAP mailbox on the test's own server, for a desktop to point its user at.
struct ImapAccount {
    std::string url;       ///< "imap://anna@127.0.0.1:PORT"
    std::string password;
    std::string caFile;    ///< the server's self-signed certificate
};

struct PluginTraits {
    /// The plug-in's short name, as the test names show it ("salvith").
    std::string name;
    /// The library file in the module folder ("salvith.so").
    std::string library;
    /// Makes the desktop of one mail user below `home` ($VESK_HOME): registry, mail store.
    /// The user's inbox is the Maildir at `home` + "/" + `maildir`.
    void (*prepareDesktop)(const std::string& home) = nullptr;
    std::string maildir;
    /// Writes the plug-in's settings for that user into the conduit's file `config`.
    void (*writeConfig)(const std::string& config) = nullptr;
    /// The mail systems GetSupportedHosts lists, in order.
    std::vector<std::string> hosts;
    /// GetHostConfigInfo's text for the settings writeConfig wrote.
    std::string configInfo;
    /// Points the desktop prepareDesktop made at `account` instead of its Maildir (the run of
    /// the suite over an IMAP server).
    void (*useImap)(const std::string& home, const ImapAccount& account) = nullptr;
    /// True when SetMsgPriority needs a session (a plug-in whose mail system cannot change a
    /// priority answers MAILHOST_OK without one).
    bool priorityNeedsSession = true;
};

/// The registered plug-ins, in registration order.
const std::vector<const PluginTraits*>& RegisteredPlugins();

/// Adds `traits` to the registered plug-ins; returns true (for a static initialiser).
bool RegisterPlugin(const PluginTraits* traits);

#define VESK_BOUNDARY_PLUGIN(traits) \
    namespace {                      \
    const bool registered_##traits = RegisterPlugin(&traits); \
    }
