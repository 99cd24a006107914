// Every file of the store's robustness corpus (and its generated cases) in one Maildir, synced
// end to end through each plug-in: the sync succeeds, every message reaches the handheld, and
// each carries the text a mail reader shows. A plug-in joins with one line in kPlugins.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <map>

#include "../../../maillibs/store/tests/GeneratedMail.h"
#include "handheld/Base64.h"
#include "desktop/DesktopView.h"
#include "desktop/FileIo.h"
#include "TestDesktop.h"
#include "platform/Codepage.h"
#include "store/Store.h"

namespace conduit {
namespace {

using test::RunResult;
using test::TempDesktop;

const std::string kCorpus = std::string(MAILCONDUIT_EXAMPLE_DESKTOP) + "/../../maillibs/store/tests/corpora/robustness";

/// How a plug-in's handheld records name the Maildir message they came from.
enum class HostId {
    MaildirId,  ///< the Maildir identifier itself (Simple MAPI message identifiers)
    EndsWithId, ///< an entry identifier whose last bytes are the Maildir identifier
    StoreKey,   ///< the store's 64-bit key of the identifier, low half first (VIM references)
};

/// A plug-in and the Maildir its example-desktop configuration reads.
struct PluginMailbox {
    const char* plugin;
    const char* maildir;  ///< relative to the desktop
    HostId hostId;
    /// Bytes of the mail system's body text the plug-in takes at most (0: all of it). The
    /// Extended MAPI plug-in reads a body too large for one property through a stream of
    /// at most 65535 bytes, so only text within them must arrive.
    std::size_t bodyCap;
};

const PluginMailbox kPlugins[] = {
    {"salvith", "mail/teo", HostId::MaildirId, 0},
    {"dunmere", "mail/teo", HostId::EndsWithId, 65535},
    {"orvek", "mail/teo", HostId::StoreKey, 0},
};

/// The Maildir identifier among `ids` that handheld identifier `hostId` names, or "".
std::string maildirIdOf(std::string hostId, HostId form, const std::map<std::string, std::string>& ids) {
    if (form == HostId::MaildirId) {
        while (!hostId.empty() && hostId.back() == '\0') hostId.pop_back();  // identifiers carry their NUL
        return ids.count(hostId) ? hostId : std::string();
    }
    for (const auto& [id, name] : ids) {
        if (form == HostId::EndsWithId && hostId.size() >= id.size() &&
            hostId.compare(hostId.size() - id.size(), id.size(), id) == 0)
            return id;
        if (form == HostId::StoreKey) {
            std::uint64_t key = vesk::store::keyOfId(id);
            std::string bytes;
            for (int i = 0; i < 8; ++i) bytes += static_cast<char>((key >> (8 * i)) & 0xFF);
            if (hostId == bytes) return id;
        }
    }
    return {};
}

// What the handheld must show of each message (UTF-8, as the handheld file holds text):
// every snippet, in order. A corpus file without a row fails the test.
const std::map<std::string, std::vector<std::string>>& expectedText() {
    static const std::map<std::string, std::vector<std::string>> rows = {
        {"no-header", {"This file has no header block at all."}},
        {"empty", {}},
        {"no-blank-line", {"This line is not a header field, so the body starts here.", "Second line of the body."}},
        {"type-without-subtype", {"Body of a part typed only"}},
        {"type-unknown", {"Body of a part of a type nobody knows."}},
        {"type-unparsable", {"Body under a Content-Type that does not parse."}},
        {"multipart-no-boundary", {"The sender forgot the boundary; this text is all there is."}},
        {"multipart-boundary-absent", {"Text between boundaries that are not the declared one."}},
        {"several-text-parts", {"First text part.", "Second text part, inline with a file name.", "Third text part, HTML."}},
        {"part-header-into-body", {"The part header has no blank line after it.", "Second line."}},
        {"missing-final-boundary", {"First part.", "Second part; the message ends without a closing boundary."}},
        {"broken-base64", {"Broken base64 still reads"}},
        {"broken-quoted-printable", {"Good \xc3\xa9 bad =ZZ", "soft break and a lone = sign"}},
        {"broken-encoded-words", {"Body after broken encoded words."}},
        {"8bit-unknown-charset", {"K\xc3\xa4se und \xe2\x82\xac 5."}},
        {"nul-bytes", {"Beforeafter a NUL.", "Anotherline."}},
        {"bare-cr", {"Old line ends, carriage returns only.", "Second line."}},
        {"mixed-line-ends", {"CRLF line", "LF line", "CR line", "last"}},
        {"binary-junk", {}},
        {"megabyte-lines", {"first line", "last line"}},
        {"many-parts", {"part 1", "part 2", "part 4999"}},
        {"deep-nesting", {"innermost text"}},
        {"nested-groups", {"Text under a To field of groups in groups."}},
        {"unended-encoded-words", {"Text under a subject of encoded words without end."}},
    };
    return rows;
}

class CorpusSyncTest : public ::testing::TestWithParam<PluginMailbox> {
protected:
    void SetUp() override {
        if (!exists(std::string(MAILCONDUIT_MODULE_DIR) + "/" + GetParam().plugin + ".so"))
            GTEST_SKIP() << GetParam().plugin << ".so is not built";
        ASSERT_EQ(copyTree(MAILCONDUIT_EXAMPLE_DESKTOP, m_desktop.path()), 0);
        ASSERT_FALSE(prepareDesktop(m_desktop.path()));
    }
    std::string maildir() const { return m_desktop.path() + "/" + GetParam().maildir; }

    TempDesktop m_desktop;
};

TEST_P(CorpusSyncTest, EveryFileReachesTheHandheldWithItsText) {
    // Only the corpus in the inbox, each under a Maildir name of its own.
    ASSERT_EQ(removeTree(maildir() + "/new"), 0);
    ASSERT_EQ(removeTree(maildir() + "/cur"), 0);
    ASSERT_EQ(makeFolders(maildir() + "/new"), 0);
    ASSERT_EQ(makeFolders(maildir() + "/cur"), 0);
    std::map<std::string, std::string> idToCase;
    int n = 0;
    auto deliver = [&](const std::string& name, const std::string& bytes) {
        std::string id = std::to_string(1700000000 + ++n) + ".robust-" + name + ".example";
        ASSERT_EQ(replaceFile(maildir() + "/new/" + id, bytes), 0);
        idToCase[id] = name;
    };
    for (const std::string& file : listFiles(kCorpus)) {
        std::string bytes;
        ASSERT_EQ(readFile(kCorpus + "/" + file, bytes), 0);
        deliver(file.substr(0, file.rfind('.')), bytes);
    }
    for (const auto& [name, bytes] : vesk::store::test::generatedMessages()) deliver(name, bytes);

    RunResult r = test::runConduit({"sync", "--plugin", GetParam().plugin}, m_desktop.path());
    ASSERT_EQ(r.status, 0) << r.out << r.err;

    std::string text;
    text = test::handheldJson(m_desktop.path());
    ASSERT_FALSE(text.empty());
    nlohmann::json handheld = nlohmann::json::parse(text);
    std::map<std::string, std::string> bodies;
    for (const nlohmann::json& message : handheld["inbox"]) {
        const nlohmann::json& record = message["record"];
        std::string hostId = decodeBase64(record.value("hostMsgId", "")).value_or("");
        std::string id = maildirIdOf(hostId, GetParam().hostId, idToCase);
        ASSERT_FALSE(id.empty()) << "unexpected message " << hostId;
        EXPECT_FALSE(bodies.count(id)) << "twice on the handheld: " << id;
        bodies[id] = record.value("body", "");
    }
    EXPECT_EQ(bodies.size(), idToCase.size());
    auto store = vesk::store::openMaildir(maildir());
    ASSERT_TRUE(store);
    for (const auto& [id, name] : idToCase) {
        SCOPED_TRACE(name);
        auto row = expectedText().find(name);
        ASSERT_NE(row, expectedText().end()) << "no expected text for corpus file " << name;
        ASSERT_TRUE(bodies.count(id)) << "missing from the handheld";
        const std::string& body = bodies[id];
        // Where each snippet lies in the text the mail system hands out (Windows-1252), to
        // tell text cut by the cap from text lost.
        std::string hostText;
        if (GetParam().bodyCap != 0) {
            auto message = (*store)->read(vesk::store::kInbox, id);
            ASSERT_TRUE(message) << "the store cannot read it";
            hostText = message->body;
        }
        std::size_t at = 0, hostAt = 0;
        for (const std::string& snippet : row->second) {
            if (GetParam().bodyCap != 0) {
                std::string hostSnippet = vesk::cp::utf8ToCp1252(snippet);
                std::size_t inHost = hostText.find(hostSnippet, hostAt);
                if (inHost != std::string::npos) hostAt = inHost + hostSnippet.size();
                if (inHost == std::string::npos || hostAt > GetParam().bodyCap) {
                    EXPECT_GE(hostText.size(), GetParam().bodyCap) << "cut although it fits: " << snippet;
                    EXPECT_EQ(body.find(snippet, at), std::string::npos) << "read past the cap";
                    break;
                }
            }
            std::size_t found = body.find(snippet, at);
            EXPECT_NE(found, std::string::npos) << "\"" << snippet << "\" not in order in " << body.substr(0, 300);
            if (found != std::string::npos) at = found + snippet.size();
        }
        if (name == "binary-junk") {
            EXPECT_GT(body.size(), 300u);
        }
        if (name == "empty") {
            EXPECT_TRUE(body.empty()) << body;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Plugins, CorpusSyncTest, ::testing::ValuesIn(kPlugins),
                         [](const ::testing::TestParamInfo<PluginMailbox>& row) { return std::string(row.param.plugin); });

}  // namespace
}  // namespace conduit
