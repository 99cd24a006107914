#include "imap/ImapUrl.h"

#include <gtest/gtest.h>

namespace vesk::store::detail {
namespace {

struct UrlCase {
    const char* url;
    bool valid;
    bool tls;
    const char* user;
    const char* host;
    int port;
    bool loopback;
};

const UrlCase kCases[] = {
    {"imap://alice@127.0.0.1:1143", true, false, "alice", "127.0.0.1", 1143, true},
    {"imaps://bob@mail.example.org", true, true, "bob", "mail.example.org", 993, false},  // default TLS port
    {"imap://bob@mail.example.org/", true, false, "bob", "mail.example.org", 143, false},  // trailing slash
    {"imap://ann%40corp@localhost:143", true, false, "ann@corp", "localhost", 143, true},  // encoded '@'
    {"imaps://carl@[::1]:9993", true, true, "carl", "::1", 9993, true},                     // IPv6
    {"imap://x@127.9.9.9:1", true, false, "x", "127.9.9.9", 1, true},                      // all of 127/8
    {"imap://127.0.0.1:143", false, false, "", "", 0, false},  // no user
    {"pop://a@host", false, false, "", "", 0, false},  // another scheme
    {"imap://a@host:0", false, false, "", "", 0, false},  // port out of range
    {"imap://a@host:70000", false, false, "", "", 0, false},  // port out of range
    {"imap://a@host:14x", false, false, "", "", 0, false},  // not a number
    {"imap://a@:143", false, false, "", "", 0, false},  // no host
    {"imap://a%4@host", false, false, "", "", 0, false},  // broken escape
    {"imaps://a@[::1", false, false, "", "", 0, false},  // unclosed bracket
};

TEST(ImapUrlTest, ParsesBothFormsAndRefusesTheRest) {
    for (const UrlCase& c : kCases) {
        SCOPED_TRACE(c.url);
        auto u = parseImapUrl(c.url);
        ASSERT_EQ(u.has_value(), c.valid);
        if (!c.valid) continue;
        EXPECT_EQ(u->tls, c.tls);
        EXPECT_EQ(u->user, c.user);
        EXPECT_EQ(u->host, c.host);
        EXPECT_EQ(u->port, c.port);
        EXPECT_EQ(u->loopback(), c.loopback);
    }
    EXPECT_EQ(parseImapUrl("imaps://c@[::1]:9993")->server(), "[::1]:9993");
}

}  // namespace
}  // namespace vesk::store::detail
