// Servers that are not what they should be: one that never answers (the time limit per
// command ends the wait) and one that answers nonsense. Each ends the call with an error whose
// log line names the server and the reason.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "ImapTestFixture.h"

namespace vesk::store::test {
namespace {

// A loopback listener that sends `greeting` (maybe nothing) to each client and then keeps
// the connection open, silent, until it is destroyed.
class SilentServer {
public:
    explicit SilentServer(std::string greeting) : m_greeting(std::move(greeting)) {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        EXPECT_EQ(::bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        EXPECT_EQ(::listen(m_fd, 4), 0);
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &len);
        m_port = ntohs(a.sin_port);
        m_thread = std::thread([this] {
            int client = ::accept(m_fd, nullptr, nullptr);
            if (client < 0) return;
            if (!m_greeting.empty()) (void)!::send(client, m_greeting.data(), m_greeting.size(), MSG_NOSIGNAL);
            char buf[4096];
            while (::recv(client, buf, sizeof buf, 0) > 0) {
            }
            ::close(client);
        });
    }
    ~SilentServer() {
        ::shutdown(m_fd, SHUT_RDWR);
        ::close(m_fd);
        m_thread.join();
    }
    int port() const { return m_port; }

private:
    std::string m_greeting;
    int m_fd = -1;
    int m_port = 0;
    std::thread m_thread;
};

struct BadServer {
    const char* name;
    const char* greeting;
    const char* reason;  // part of the logged reason
};
const BadServer kBadServers[] = {
    {"NeverAnswers", "", "did not answer in time"},
    {"AnswersNonsense", "HELLO THERE, THIS IS NOT IMAP\r\n", "could not be understood"},
    {"RefusesAtOnce", "* BYE go away\r\n", "refused it: go away"},
};

class ImapBadServerTest : public ::testing::TestWithParam<BadServer> {
protected:
    void SetUp() override {
        if (const char* old = std::getenv("VESK_HOME")) m_oldHome = old;
        ::setenv("VESK_HOME", m_home.path().c_str(), 1);
    }
    void TearDown() override {
        if (m_oldHome.empty()) ::unsetenv("VESK_HOME");
        else ::setenv("VESK_HOME", m_oldHome.c_str(), 1);
    }
    TempDir m_home;
    std::string m_oldHome;
};

TEST_P(ImapBadServerTest, EndsTheCallNamingTheServer) {
    SilentServer server(GetParam().greeting);
    ImapOptions o;
    o.url = "imap://alice@127.0.0.1:" + std::to_string(server.port());
    o.password = "x";
    o.stateDir = m_home.path() + "/state";
    o.timeoutSeconds = 1;
    auto started = std::chrono::steady_clock::now();
    auto store = openImap(o);
    auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(store.status(), Status::IoError);
    EXPECT_LT(waited, std::chrono::seconds(10));
    std::string subject = "127.0.0.1:" + std::to_string(server.port());
    bool named = false;
    std::string all;
    for (const Problem& p : problemsSince(0)) {
        all += p.subject + ": " + p.reason + "\n";
        named = named || (p.subject == subject && p.reason.find(GetParam().reason) != std::string::npos);
    }
    EXPECT_TRUE(named) << all;
}

INSTANTIATE_TEST_SUITE_P(Servers, ImapBadServerTest, ::testing::ValuesIn(kBadServers),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace vesk::store::test

// The IMAP library keeps the parsed greeting of a server that says BYE at once and never frees
// it (a few dozen bytes per such connection, inside the library). The leak checker is told so
// here, by the library's own allocation names, so that everything else stays checked.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
    return "leak:mailimap_greeting_new\nleak:mailimap_resp_cond_bye_new\nleak:mailimap_resp_text_new\n";
}
