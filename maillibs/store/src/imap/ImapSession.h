// One logged-in connection to an IMAP server over the client library: connecting (TLS from
// the first byte, STARTTLS, or plain to loopback only), checking the certificate before the
// password goes out, logging in, the server's capabilities, the selected mailbox, and turning
// every failure into a Status with a line in the problem log that names the server.
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "ImapUrl.h"
#include "store/Status.h"

struct mailimap;

namespace vesk::store::detail {

/// What SELECT reported about a mailbox.
struct Selection {
    std::uint32_t validity = 0;
    std::uint32_t exists = 0;
    std::uint32_t uidNext = 0;
    std::uint64_t highestModSeq = 0;  ///< 0 when the server has no CONDSTORE
};

class ImapSession {
public:
    ImapSession(ImapUrl url, std::string password, std::string caFile, int timeoutSeconds);
    ~ImapSession();
    ImapSession(const ImapSession&) = delete;
    ImapSession& operator=(const ImapSession&) = delete;

    /// Connects and logs in unless connected. IoError (logged) when that fails;
    /// InvalidArgument (logged) for a plain connection to a host that is not loopback.
    Status ensure();
    /// Closes the connection (the next `ensure` opens a new one).
    void drop();
    mailimap* imap() const { return m_imap; }
    bool has(const char* capability) const { return m_caps.count(capability) != 0; }

    /// Selects `mailbox` (read-write) unless it is selected; `force` selects it again to
    /// learn what changed. NotFound when the server has no such mailbox.
    Result<Selection> select(const std::string& mailbox, bool force);
    const std::string& selected() const { return m_selected; }
    /// NOOP: the server tells what other clients changed in the selected mailbox since.
    Status refresh();

    /// Handles the failure `rc` of `what` (a command about `subject`, e.g. a mailbox): logs
    /// "<server>: <what> failed: <reason>", drops a broken connection, and returns IoError
    /// or, for a refusal by the server, `refused`.
    Status fail(const std::string& what, int rc, Status refused = Status::IoError);
    /// True when `rc` means the connection itself is gone (lost, timed out, unparseable).
    static bool broken(int rc);

    const ImapUrl& url() const { return m_url; }
    const std::string& server() const { return m_server; }

private:
    Status connect();
    Status secure();
    void readCapabilities();

    ImapUrl m_url;
    std::string m_password;
    std::string m_caFile;
    int m_timeout;
    std::string m_server;
    mailimap* m_imap = nullptr;
    std::set<std::string, std::less<>> m_caps;
    std::string m_selected;
};

/// The mailbox name on the server for folder `name` (modified UTF-7 escapes '&').
std::string mailboxName(const std::string& folder);
/// The folder name for mailbox `name` as the server lists it.
std::string folderName(const std::string& mailbox);

}  // namespace vesk::store::detail
