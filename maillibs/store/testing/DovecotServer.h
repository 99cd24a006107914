// A real IMAP server for tests: the system's Dovecot binary started in a temporary folder with
// a configuration, users and certificate of its own, listening on free loopback ports (one
// plain, one TLS from the first byte) of 127.0.0.1 and of 127.0.0.2, an address the
// certificate does not name. Nothing of the system's own mail service is used.
// Works as root (the server's processes then run as the dovecot and dovenull users, and the
// mail folders are handed to them) and as a normal user (everything runs as that user).
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace vesk::store::testing {

struct DovecotOptions {
    /// Users and their passwords; each gets a Maildir under the temporary folder.
    std::vector<std::pair<std::string, std::string>> users = {{"alice", "alice-secret"}};
    /// When not empty, the capability list the server announces after logging in, in place
    /// of its own (to see how a client copes without MOVE, CONDSTORE or UIDPLUS). The server
    /// still understands every command; only the announcement changes.
    std::string capabilities;
};

class DovecotServer {
public:
    /// Starts the server and waits until both ports answer. Throws std::runtime_error with
    /// the server's log when it does not come up.
    explicit DovecotServer(DovecotOptions options = {});
    ~DovecotServer();  ///< stops the server and removes the folder
    DovecotServer(const DovecotServer&) = delete;
    DovecotServer& operator=(const DovecotServer&) = delete;

    int plainPort() const { return m_plainPort; }
    int tlsPort() const { return m_tlsPort; }
    /// The self-signed certificate the server presents (PEM), made for "localhost" and 127.0.0.1.
    const std::string& certificate() const { return m_certFile; }
    /// The temporary folder everything lives in.
    const std::string& dir() const { return m_dir; }
    /// The Maildir of `user` on the server's side.
    std::string maildir(const std::string& user) const;
    /// The server's log so far.
    std::string log() const;
    /// "imap://USER@127.0.0.1:PORT" for `user` on the plain port (`tls`: imaps:// on the TLS port).
    std::string url(const std::string& user, bool tls = false) const;

    /// Kills the server and every process of it at once (SIGKILL), as a crash would.
    void kill();
    /// Stops the server (when running) and starts it again on the same ports.
    void restart();
    /// Stops the server politely and waits for it.
    void stop();
    bool running() const { return m_pid > 0; }

private:
    void writeConfig();
    void start();
    void waitForPorts();

    DovecotOptions m_options;
    std::string m_dir;
    std::string m_config;
    std::string m_certFile;
    std::string m_keyFile;
    int m_plainPort = 0;
    int m_tlsPort = 0;
    pid_t m_pid = -1;
    bool m_asRoot = false;
};

}  // namespace vesk::store::testing
