#include "ImapSession.h"

#include <libetpan/libetpan.h>

#include <algorithm>
#include <cctype>
#include <vector>

#include "TlsCheck.h"
#include "store/ProblemLog.h"

namespace vesk::store::detail {
namespace {

std::string reasonOf(int rc) {
    switch (rc) {
    case MAILIMAP_ERROR_STREAM: return "the connection was lost or the server did not answer in time";
    case MAILIMAP_ERROR_CONNECTION_REFUSED: return "the server cannot be reached";
    case MAILIMAP_ERROR_PARSE: return "the server's answer could not be understood";
    case MAILIMAP_ERROR_LOGIN: return "the server refused the user name or password";
    case MAILIMAP_ERROR_SSL: return "the TLS handshake failed";
    case MAILIMAP_ERROR_MEMORY: return "out of memory";
    case MAILIMAP_ERROR_BAD_STATE: return "the connection is not in a state for this command";
    default: return "the server refused it";
    }
}

std::vector<std::string> peerChain(mailimap* imap) {
    std::vector<std::string> out;
    carray* chain = mailstream_get_certificate_chain(imap->imap_stream);
    if (!chain) return out;
    for (unsigned i = 0; i < carray_count(chain); ++i) {
        auto* der = static_cast<MMAPString*>(carray_get(chain, i));
        out.emplace_back(der->str, der->len);
        mmap_string_free(der);
    }
    carray_free(chain);
    return out;
}

}  // namespace

ImapSession::ImapSession(ImapUrl url, std::string password, std::string caFile, int timeoutSeconds)
    : m_url(std::move(url)), m_password(std::move(password)), m_caFile(std::move(caFile)),
      m_timeout(timeoutSeconds > 0 ? timeoutSeconds : 60), m_server(m_url.server()) {}

ImapSession::~ImapSession() {
    if (m_imap) {
        mailimap_logout(m_imap);
        drop();
    }
}

void ImapSession::drop() {
    if (m_imap) mailimap_free(m_imap);
    m_imap = nullptr;
    m_caps.clear();
    m_selected.clear();
}

bool ImapSession::broken(int rc) {
    return rc == MAILIMAP_ERROR_STREAM || rc == MAILIMAP_ERROR_PARSE || rc == MAILIMAP_ERROR_CONNECTION_REFUSED ||
           rc == MAILIMAP_ERROR_SSL || rc == MAILIMAP_ERROR_BAD_STATE;
}

Status ImapSession::fail(const std::string& what, int rc, Status refused) {
    std::string reason = reasonOf(rc);
    if (m_imap && m_imap->imap_response && *m_imap->imap_response && !broken(rc))
        reason += std::string(": ") + m_imap->imap_response;
    logProblem("store", m_server, what + " failed: " + reason);
    if (broken(rc)) {
        drop();
        return Status::IoError;
    }
    return refused;
}

Status ImapSession::ensure() {
    if (m_imap) return Status::Ok;
    Status st = connect();
    if (st != Status::Ok) drop();
    return st;
}

Status ImapSession::secure() {
    std::string why = checkServerCertificate(peerChain(m_imap), m_url.host, m_caFile);
    if (why.empty()) return Status::Ok;
    logProblem("store", m_server, "the server's certificate was refused: " + why);
    return Status::IoError;
}

Status ImapSession::connect() {
    m_imap = mailimap_new(0, nullptr);
    if (!m_imap) return Status::OutOfMemory;
    mailimap_set_timeout(m_imap, m_timeout);
    int rc = m_url.tls ? mailimap_ssl_connect(m_imap, m_url.host.c_str(), m_url.port)
                       : mailimap_socket_connect(m_imap, m_url.host.c_str(), m_url.port);
    if (rc != MAILIMAP_NO_ERROR_NON_AUTHENTICATED && rc != MAILIMAP_NO_ERROR_AUTHENTICATED)
        return fail("connecting", rc);
    if (m_url.tls) {
        if (Status st = secure(); st != Status::Ok) return st;
    } else {
        readCapabilities();
        if (has("STARTTLS")) {
            rc = mailimap_socket_starttls(m_imap);  // sends STARTTLS, then shakes hands
            if (rc != MAILIMAP_NO_ERROR) return fail("starting TLS", rc);
            if (Status st = secure(); st != Status::Ok) return st;
        } else if (!m_url.loopback()) {
            logProblem("store", m_server,
                       "the server offers no TLS, and the password is sent in the clear only to this machine");
            return Status::InvalidArgument;
        }
    }
    rc = mailimap_login(m_imap, m_url.user.c_str(), m_password.c_str());
    if (rc != MAILIMAP_NO_ERROR) {
        std::string reason = m_imap->imap_response ? m_imap->imap_response : "";
        logProblem("store", m_server,
                   "logging in as " + m_url.user + " failed: " + reasonOf(rc) + (reason.empty() ? "" : ": " + reason));
        return Status::IoError;
    }
    readCapabilities();
    return Status::Ok;
}

void ImapSession::readCapabilities() {
    m_caps.clear();
    mailimap_capability_data* caps = nullptr;
    if (mailimap_capability(m_imap, &caps) != MAILIMAP_NO_ERROR || !caps) return;
    for (clistiter* it = clist_begin(caps->cap_list); it; it = clist_next(it)) {
        auto* cap = static_cast<struct mailimap_capability*>(clist_content(it));
        if (cap->cap_type != MAILIMAP_CAPABILITY_NAME || !cap->cap_data.cap_name) continue;
        std::string name = cap->cap_data.cap_name;
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
        m_caps.insert(std::move(name));
    }
    mailimap_capability_data_free(caps);
}

Result<Selection> ImapSession::select(const std::string& mailbox, bool force) {
    if (Status st = ensure(); st != Status::Ok) return st;
    if (!force && m_selected == mailbox && m_imap->imap_selection_info) {
        const mailimap_selection_info* s = m_imap->imap_selection_info;
        return Selection{s->sel_uidvalidity, s->sel_exists, s->sel_uidnext, 0};
    }
    m_selected.clear();
    std::string name = mailboxName(mailbox);
    std::uint64_t modseq = 0;
    int rc = has("CONDSTORE") ? mailimap_select_condstore(m_imap, name.c_str(), &modseq)
                              : mailimap_select(m_imap, name.c_str());
    if (rc != MAILIMAP_NO_ERROR) {
        if (broken(rc)) return fail("opening mailbox " + mailbox, rc);
        return Status::NotFound;
    }
    m_selected = mailbox;
    const mailimap_selection_info* s = m_imap->imap_selection_info;
    return Selection{s->sel_uidvalidity, s->sel_exists, s->sel_uidnext, modseq};
}

Status ImapSession::refresh() {
    int rc = mailimap_noop(m_imap);
    if (rc != MAILIMAP_NO_ERROR) return fail("asking what changed in " + m_selected, rc);
    return Status::Ok;
}

std::string mailboxName(const std::string& folder) {
    std::string out;
    for (char c : folder) {
        out += c;
        if (c == '&') out += '-';
    }
    return out;
}

std::string folderName(const std::string& mailbox) {
    std::string out;
    for (std::size_t i = 0; i < mailbox.size(); ++i) {
        out += mailbox[i];
        if (mailbox[i] == '&' && i + 1 < mailbox.size() && mailbox[i + 1] == '-') ++i;
    }
    return out;
}

}  // namespace vesk::store::detail
