// The IMAP store's tests run against a real server started for each test (see
// testing/DovecotServer.h), with a second client (ImapPeer) that sees what the store did and
// makes changes of its own. The problem log goes to a folder of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "DovecotServer.h"
#include "ImapPeer.h"
#include "TestSupport.h"
#include "store/ProblemLog.h"
#include "store/Store.h"

namespace vesk::store::test {

inline constexpr const char* kUser = "alice";
inline constexpr const char* kPassword = "alice-secret";

class ImapTest : public ::testing::Test {
protected:
    /// What the server is started with; a test class overrides it for fallbacks.
    virtual testing::DovecotOptions serverOptions() const { return {}; }

    void SetUp() override {
        if (const char* old = std::getenv("VESK_HOME")) m_oldHome = old;
        ::setenv("VESK_HOME", m_home.path().c_str(), 1);
        m_server = std::make_unique<testing::DovecotServer>(serverOptions());
    }
    void TearDown() override {
        if (m_oldHome.empty()) ::unsetenv("VESK_HOME");
        else ::setenv("VESK_HOME", m_oldHome.c_str(), 1);
    }

    ImapOptions options(bool tls = false) const {
        ImapOptions o;
        o.url = m_server->url(kUser, tls);
        o.password = kPassword;
        o.caFile = m_server->certificate();
        o.stateDir = m_state.path() + "/state";
        o.timeoutSeconds = 10;
        return o;
    }
    /// A store on the server (asserting it opens).
    std::unique_ptr<Store> open(bool tls = false) {
        Result<std::unique_ptr<Store>> s = openImap(options(tls));
        EXPECT_TRUE(s.ok()) << describe(s.status()) << "\n" << problems();
        return s ? std::move(*s) : nullptr;
    }
    std::unique_ptr<testing::ImapPeer> peer() const {
        return std::make_unique<testing::ImapPeer>(m_server->plainPort(), kUser, kPassword);
    }
    /// Every problem logged so far, one a line.
    static std::string problems() {
        std::string out;
        for (const Problem& p : problemsSince(0)) out += p.subject + ": " + p.reason + "\n";
        return out;
    }
    /// A small message with `subject`, CR LF lines as a server keeps them.
    static std::string message(const std::string& subject, const std::string& body = "Hello there.") {
        return "From: Ann <ann@example.org>\r\nTo: bob@example.org\r\nSubject: " + subject +
               "\r\nDate: Tue, 01 Dec 2026 10:00:00 +0000\r\nMessage-ID: <" + subject + "@example.org>\r\n\r\n" + body +
               "\r\n";
    }
    /// "V.U" of `uid` in mailbox `mailbox` as the peer sees it.
    std::string idOf(const std::string& mailbox, std::uint32_t uid) {
        auto p = peer();
        return std::to_string(p->select(mailbox)) + "." + std::to_string(uid);
    }

    TempDir m_home;
    TempDir m_state;
    std::unique_ptr<testing::DovecotServer> m_server;

private:
    std::string m_oldHome;
};

}  // namespace vesk::store::test
