#include "ImapPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>
#include <stdexcept>

namespace vesk::store::testing {
namespace {

std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

}  // namespace

ImapPeer::ImapPeer(int port, const std::string& user, const std::string& password) {
    m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (m_fd < 0) throw std::runtime_error("peer: no socket");
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(m_fd);
        throw std::runtime_error("peer: cannot connect to port " + std::to_string(port));
    }
    std::string greeting = readLine();
    if (greeting.rfind("* OK", 0) != 0) throw std::runtime_error("peer: greeting " + greeting);
    command("LOGIN " + quoted(user) + " " + quoted(password));
}

ImapPeer::~ImapPeer() {
    if (m_fd >= 0) {
        try {
            sendAll("z LOGOUT\r\n");
        } catch (...) {
        }
        ::close(m_fd);
    }
}

void ImapPeer::sendAll(const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::send(m_fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n <= 0) throw std::runtime_error("peer: the server closed the connection");
        done += static_cast<std::size_t>(n);
    }
}

std::string ImapPeer::readLine() {
    std::string line;
    for (;;) {
        std::size_t end = m_buffer.find("\r\n");
        while (end == std::string::npos) {
            char chunk[65536];
            ssize_t n = ::recv(m_fd, chunk, sizeof chunk, 0);
            if (n <= 0) throw std::runtime_error("peer: the server closed the connection");
            m_buffer.append(chunk, static_cast<std::size_t>(n));
            end = m_buffer.find("\r\n");
        }
        std::string part = m_buffer.substr(0, end);
        m_buffer.erase(0, end + 2);
        line += part;
        // A line ending in {n} is followed by n bytes of literal, then the rest of the line.
        if (part.empty() || part.back() != '}') return line;
        std::size_t open = part.rfind('{');
        if (open == std::string::npos) return line;
        std::size_t size = std::stoul(part.substr(open + 1));
        while (m_buffer.size() < size) {
            char chunk[65536];
            ssize_t n = ::recv(m_fd, chunk, sizeof chunk, 0);
            if (n <= 0) throw std::runtime_error("peer: the server closed the connection");
            m_buffer.append(chunk, static_cast<std::size_t>(n));
        }
        line += "\n" + m_buffer.substr(0, size) + "\n";
        m_buffer.erase(0, size);
    }
}

std::vector<std::string> ImapPeer::finish(const std::string& tag, const std::string& what) {
    std::vector<std::string> lines;
    for (;;) {
        std::string line = readLine();
        if (line.rfind(tag + " ", 0) == 0) {
            if (line.compare(tag.size() + 1, 2, "OK") != 0)
                throw std::runtime_error("peer: " + what + " -> " + line);
            lines.push_back(line);
            return lines;
        }
        lines.push_back(line);
    }
}

std::vector<std::string> ImapPeer::command(const std::string& text) {
    std::string tag = "p" + std::to_string(++m_tag);
    sendAll(tag + " " + text + "\r\n");
    return finish(tag, text);
}

std::uint32_t ImapPeer::select(const std::string& mailbox) {
    for (const std::string& line : command("SELECT " + quoted(mailbox))) {
        std::size_t at = line.find("[UIDVALIDITY ");
        if (at != std::string::npos) return static_cast<std::uint32_t>(std::stoul(line.substr(at + 13)));
    }
    throw std::runtime_error("peer: no UIDVALIDITY for " + mailbox);
}

std::vector<std::uint32_t> ImapPeer::uids() {
    std::vector<std::uint32_t> out;
    command("NOOP");  // learn of other clients' changes first
    for (const std::string& line : command("UID SEARCH ALL")) {
        if (line.rfind("* SEARCH", 0) != 0) continue;
        std::istringstream in(line.substr(8));
        std::uint32_t uid = 0;
        while (in >> uid) out.push_back(uid);
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::string ImapPeer::flags(std::uint32_t uid) {
    for (const std::string& line : command("UID FETCH " + std::to_string(uid) + " (FLAGS)")) {
        std::size_t at = line.find("FLAGS (");
        if (line.rfind("* ", 0) != 0 || at == std::string::npos) continue;
        std::size_t end = line.find(')', at);
        std::istringstream in(line.substr(at + 7, end - at - 7));
        std::vector<std::string> words;
        std::string w;
        while (in >> w) {
            if (w != "\\Recent") words.push_back(w);
        }
        std::sort(words.begin(), words.end());
        std::string out;
        for (const std::string& f : words) out += (out.empty() ? "" : " ") + f;
        return out;
    }
    throw std::runtime_error("peer: no message with UID " + std::to_string(uid));
}

void ImapPeer::storeFlags(std::uint32_t uid, const std::string& flags, bool add) {
    command("UID STORE " + std::to_string(uid) + (add ? " +FLAGS.SILENT (" : " -FLAGS.SILENT (") + flags + ")");
}

void ImapPeer::expunge(std::uint32_t uid) {
    storeFlags(uid, "\\Deleted", true);
    command("EXPUNGE");
}

std::uint32_t ImapPeer::append(const std::string& mailbox, const std::string& bytes, const std::string& flags) {
    std::string tag = "p" + std::to_string(++m_tag);
    sendAll(tag + " APPEND " + quoted(mailbox) + " (" + flags + ") {" + std::to_string(bytes.size()) + "}\r\n");
    std::string go = readLine();
    if (go.rfind("+", 0) != 0) throw std::runtime_error("peer: APPEND refused: " + go);
    sendAll(bytes + "\r\n");
    std::vector<std::string> lines = finish(tag, "APPEND");
    const std::string& done = lines.back();
    std::size_t at = done.find("[APPENDUID ");
    if (at == std::string::npos) throw std::runtime_error("peer: APPEND without APPENDUID: " + done);
    std::istringstream in(done.substr(at + 11));
    std::uint32_t validity = 0, uid = 0;
    in >> validity >> uid;
    return uid;
}

std::string ImapPeer::fetch(std::uint32_t uid) {
    for (const std::string& line : command("UID FETCH " + std::to_string(uid) + " BODY.PEEK[]")) {
        std::size_t open = line.find("BODY[] {");
        if (line.rfind("* ", 0) != 0 || open == std::string::npos) continue;
        std::size_t start = line.find("}\n", open);
        std::size_t size = std::stoul(line.substr(open + 8));
        return line.substr(start + 2, size);
    }
    throw std::runtime_error("peer: no message with UID " + std::to_string(uid));
}

std::vector<std::string> ImapPeer::mailboxes() {
    std::vector<std::string> out;
    for (const std::string& line : command("LIST \"\" \"*\"")) {
        if (line.rfind("* LIST", 0) != 0) continue;
        std::string name;
        if (line.back() == '"') {
            std::size_t open = line.rfind('"', line.size() - 2);
            name = line.substr(open + 1, line.size() - open - 2);
        } else {
            name = line.substr(line.rfind(' ') + 1);
        }
        out.push_back(name);
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace vesk::store::testing
