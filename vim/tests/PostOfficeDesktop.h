// A temporary desktop with a real post office for Orvek's end-to-end tests: post office
// "Main Office" (gateway "Internet") with users Teo (password s3cret, personal book entry
// Boss) and Anna (annapw), each with a Maildir under mail/, the default login Teo in the
// registry, and a conduit configuration file naming Teo. orvek.so is loaded as the conduit
// loads it.
#pragma once

#include <memory>
#include <string>

#include "framework/MailHostExports.h"
#include "store/Store.h"

namespace vimtest {

extern const char kHostName[];

struct Plugin : MailHostExports {
    HMODULE module = nullptr;
    bool load(const std::string& path);
    ~Plugin();
};

class PostOfficeDesktop {
public:
    /// Makes the desktop; false (with the failure reported) when it cannot.
    bool create(const char* prefix);
    /// Removes the desktop folder.
    void destroy();

    /// Runs the post office tool with `args`; false when it fails.
    bool tool(const std::string& args) const;
    /// Writes Orvek's settings into the configuration file (empty `path`: the post office).
    void writeSettings(const std::string& user, const std::string& password, const std::string& gateway,
                       const std::string& path = "") const;
    /// The Maildir of user `user` ("teo", "anna").
    std::unique_ptr<vesk::store::Store> mailbox(const std::string& user) const;
    /// Messages in `folder` of `user`'s Maildir.
    size_t folderSize(const std::string& user, const std::string& folder) const;

    std::string home;
    std::string postOffice;
    std::string config;
};

}  // namespace vimtest
