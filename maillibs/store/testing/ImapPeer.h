// A second IMAP client for tests, written straight over a socket: the other mail reader that
// sees what the store changed on the server and makes changes of its own. Plain connection
// to the loopback test server only. Every call throws std::runtime_error when the server
// answers anything but OK, with the command and the answer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vesk::store::testing {

class ImapPeer {
public:
    /// Connects to 127.0.0.1:`port` and logs in.
    ImapPeer(int port, const std::string& user, const std::string& password);
    ~ImapPeer();
    ImapPeer(const ImapPeer&) = delete;
    ImapPeer& operator=(const ImapPeer&) = delete;

    /// Sends one command (without tag) and returns the untagged lines of the answer, each
    /// with any literal it carried inlined.
    std::vector<std::string> command(const std::string& text);

    /// Selects `mailbox`; returns its UIDVALIDITY.
    std::uint32_t select(const std::string& mailbox);
    /// The UIDs of the selected mailbox, ascending.
    std::vector<std::uint32_t> uids();
    /// The flags of message `uid` of the selected mailbox, as the server writes them
    /// ("\\Seen \\Flagged"), sorted and blank-separated.
    std::string flags(std::uint32_t uid);
    /// Sets (`add`) or clears the given flags ("\\Seen") of `uid`.
    void storeFlags(std::uint32_t uid, const std::string& flags, bool add);
    /// Marks `uid` deleted and expunges the mailbox.
    void expunge(std::uint32_t uid);
    /// Appends `bytes` to `mailbox` with `flags` ("\\Seen" or ""); returns the new UID.
    std::uint32_t append(const std::string& mailbox, const std::string& bytes, const std::string& flags = "");
    /// The full bytes of `uid` of the selected mailbox.
    std::string fetch(std::uint32_t uid);
    /// The mailboxes the server has, as named in LIST.
    std::vector<std::string> mailboxes();

private:
    std::string readLine();  // one response line with literals inlined, without CR LF
    void sendAll(const std::string& data);
    std::vector<std::string> finish(const std::string& tag, const std::string& what);

    int m_fd = -1;
    unsigned m_tag = 0;
    std::string m_buffer;
};

}  // namespace vesk::store::testing
