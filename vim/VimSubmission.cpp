// SendMsg and SetMsg: a record written on the handheld becomes a new VIM message with its
// subject, flags and priority, its recipients (looked up in the address books, VimAddressBook.cpp)
// and its body as one text item; then it is submitted, or filed into the mailbox unsent.
#include <cstring>
#include <new>

#include "OrvekApp.h"
#include "VimRecords.h"
#include "framework/AddressText.h"
#include "framework/Msg.h"
#include "framework/ResourceStrings.h"
#include "kestrav_ids.h"

namespace {

constexpr size_t kSubjectLimit = 256;
constexpr vimSelector kRecipientClassTo = VIMSEL_TO;
constexpr vimSelector kRecipientClassCc = VIMSEL_CC;
constexpr vimSelector kRecipientClassBcc = VIMSEL_BCC;

// One attribute-set call after another; the first refusal ends the sequence.
class HeaderWriter {
public:
    HeaderWriter(const VimFunctions& vim, vimMsg message) : m_vim(vim), m_message(message) {}

    bool Number(vimSelector attribute, vimWord value) {
        return m_ok && (m_ok = VimStatusOf(m_vim.SetMessageHeader(m_message, attribute, sizeof value, &value)) == 0);
    }
    bool Subject(const std::string& subject) {
        // The subject goes without its NUL, cut to what a VIM subject holds.
        const size_t length = subject.size() < kSubjectLimit ? subject.size() : kSubjectLimit;
        char text[kSubjectLimit] = {};
        std::memcpy(text, subject.data(), length);
        return m_ok && (m_ok = VimStatusOf(m_vim.SetMessageHeader(m_message, VIMSEL_SUBJECT,
                                                                   static_cast<vimWord>(length), text)) == 0);
    }
    bool Ok() const { return m_ok; }

private:
    const VimFunctions& m_vim;
    vimMsg m_message;
    bool m_ok = true;
};

}  // namespace

int COrvekApp::SendMsg(const MailMsg* msg) { return BuildAndDeliver(msg, true); }

int COrvekApp::SetMsg(const MailMsg* msg) { return BuildAndDeliver(msg, false); }

int COrvekApp::BuildAndDeliver(const MailMsg* msg, bool submit) {
    if (msg == nullptr) return MAILHOST_NULL_ARGUMENT;
    // Without a session the library has nobody to send as.
    if (m_session == 0) return MAILHOST_SERVER_ERROR;
    const VimFunctions& vim = m_vim.Functions();
    try {
        const CMsg message(*msg);
        vimMsg handle = 0;
        if (VimStatusOf(vim.CreateMessage(m_session, const_cast<char*>(VIM_MAIL), &handle)) != 0) return MAILHOST_ERROR;

        const vimWord priority = VimPriorityFromHandheld((message.m_status >> MAILMSG_STATUS_PRIORITY_SHIFT) & 3u);
        HeaderWriter header(vim, handle);
        header.Subject(message.m_subject);
        if (submit) {
            if ((message.m_status & (MAILMSG_STATUS_DELIVERY_REPORT | MAILMSG_STATUS_READ_RECEIPT)) != 0) {
                header.Number(VIMSEL_RETURN_RECEIPT, 1);
            }
            header.Number(VIMSEL_PRIORITY, priority);
            header.Number(VIMSEL_SAVE, 1);
        } else {
            header.Number(VIMSEL_SAVE, 1);
            header.Number(VIMSEL_DRAFT, 1);
            header.Number(VIMSEL_PRIORITY, priority);
        }

        int result = header.Ok() ? MAILHOST_OK : MAILHOST_SERVER_ERROR;
        if (result == MAILHOST_OK) result = AddRecipients(handle, message.m_to, kRecipientClassTo);
        if (result == MAILHOST_OK) result = AddRecipients(handle, message.m_cc, kRecipientClassCc);
        if (result == MAILHOST_OK) result = AddRecipients(handle, message.m_bcc, kRecipientClassBcc);
        if (result == MAILHOST_OK) {
            vimBuffFileDesc body{};
            body.Size = static_cast<vimDWord>(message.m_body.size());
            body.Buffer = const_cast<char*>(message.m_body.data());
            if (VimStatusOf(vim.SetMessageItem(handle, VIMSEL_NOTE_PART, const_cast<char*>(VIM_UNWRAPPED_TEXT), 0,
                                               nullptr, &body)) != 0) {
                result = MAILHOST_SERVER_ERROR;
            }
        }
        if (result == MAILHOST_OK && submit) {
            if (VimStatusOf(vim.SendMessage(handle, nullptr, nullptr)) == 0) {
                handle = 0;  // the library owns the message now
            } else {
                result = MAILHOST_ERROR;
            }
        }
        // SetMsg files the message by closing it; a failed step leaves nothing open either way.
        if (handle != 0 && VimStatusOf(vim.CloseMessage(handle)) != 0) result = MAILHOST_SERVER_ERROR;
        return result;
    } catch (const std::bad_alloc&) {
        return MAILHOST_OUT_OF_MEMORY;
    }
}

int COrvekApp::AddRecipients(vimMsg message, const std::string& list, vimSelector recipientClass) {
    std::string entries = list;
    const int n = NormalizeAddressList(entries);
    entries = VimLowerCase(entries);
    for (int i = 0; i < n; ++i) {
        std::string entry = GetNextListEntry(entries);
        // An address type in front ("smtp:") is dropped whatever it says.
        const size_t colon = entry.find(':');
        if (colon != std::string::npos) entry = entry.substr(colon + 1);

        std::string found;
        const vimRecipient record =
            LookUp(entry, found) == 0 && !found.empty()
                ? VimFoundRecipient(GetAddressPart(found))
                : VimWrittenRecipient(GetDisplayNamePart(entry), ApplyGatewayRule(GetAddressPart(entry)));
        vimRecipient copy = record;
        const vimWord status = VimStatusOf(m_vim.Functions().SetMessageRecipient(message, recipientClass, &copy));
        if (status != 0 && status != VIMSTS_NAME_EXISTS) return MAILHOST_RECIPIENT_REJECTED;
    }
    return 0;
}

std::string COrvekApp::ApplyGatewayRule(std::string address) const {
    address = VimLowerCase(address);
    if (IsInternetAddress(address) == 0) return address;
    const std::string separator = LoadResString(KESTRAV_IDS_GATEWAY_SEPARATOR);
    if (!separator.empty()) {
        const size_t at = address.find(separator);
        // Already routed through a gateway.
        if (at != std::string::npos && at + separator.size() < address.size()) return address;
        // A separator with no gateway behind it is dropped. Entries arrive trimmed, so it
        // shows as " at" at the end as often as " at ".
        std::string bare = separator;
        TrimRight(bare);
        if (at != std::string::npos) return address.substr(0, at);
        if (!bare.empty() && address.size() > bare.size() &&
            address.compare(address.size() - bare.size(), bare.size(), bare) == 0) {
            address.resize(address.size() - bare.size());
            return address;
        }
    }
    // The held settings (a finished wizard, or the information shown) are the newest; during a
    // sync nothing is held and the settings Logon read apply.
    const std::string& gateway = m_settings.IsConfigured() ? m_settings.InternetGateway() : m_logonGateway;
    if (gateway.empty()) return address;
    return address + separator + gateway;
}
