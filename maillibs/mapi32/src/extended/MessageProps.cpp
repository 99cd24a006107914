#include "extended/MessageProps.h"

#include <strings.h>

#include "extended/EntryIds.h"

namespace vesk::mapi32::ex {
namespace {

bool isMine(const Mailbox& mailbox, const std::vector<store::Address>& list) {
    if (mailbox.account.address.empty()) return false;
    for (const store::Address& a : list) {
        if (::strcasecmp(a.address.c_str(), mailbox.account.address.c_str()) == 0) return true;
    }
    return false;
}

void addRecipients(const Mailbox& mailbox, const std::vector<store::Address>& list, LONG type,
                   std::vector<PropList>& rows) {
    for (const store::Address& a : list) {
        PropList row = mailUserProps(mailbox, a.name, a.address);
        putProp(row, longProp(PR_RECIPIENT_TYPE, type));
        putProp(row, longProp(PR_ROWID, static_cast<LONG>(rows.size())));
        rows.push_back(std::move(row));
    }
}

}  // namespace

LONG importanceOf(store::Priority priority) {
    switch (priority) {
    case store::Priority::High: return IMPORTANCE_HIGH;
    case store::Priority::Low: return IMPORTANCE_LOW;
    case store::Priority::Normal: break;
    }
    return IMPORTANCE_NORMAL;
}

std::optional<store::Priority> priorityOf(LONG importance) {
    switch (importance) {
    case IMPORTANCE_HIGH: return store::Priority::High;
    case IMPORTANCE_NORMAL: return store::Priority::Normal;
    case IMPORTANCE_LOW: return store::Priority::Low;
    default: return std::nullopt;
    }
}

std::string searchKeyOf(const std::string& address) {
    std::string key = "SMTP:";
    for (char c : address) key.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    key.push_back('\0');
    return key;
}

PropList mailUserProps(const Mailbox& mailbox, const std::string& name, const std::string& address) {
    PropList p;
    p.push_back(textProp(PR_DISPLAY_NAME, name.empty() ? address : name));
    p.push_back(longProp(PR_OBJECT_TYPE, MAPI_MAILUSER));
    if (!address.empty()) {
        p.push_back(binaryProp(PR_ENTRYID, mailUserEntryId(mailbox.account.name, name, address)));
        p.push_back(textProp(PR_ADDRTYPE, "SMTP"));
        p.push_back(textProp(PR_EMAIL_ADDRESS, address));
        p.push_back(binaryProp(PR_SEARCH_KEY, searchKeyOf(address)));
    }
    return p;
}

PropList messageProps(const Mailbox& mailbox, FolderRole role, const store::MessageInfo& info,
                      const store::Message* message, bool withBody) {
    const std::string& account = mailbox.account.name;
    PropList p;
    std::string entryId = messageEntryId(account, role, info.id);
    p.push_back(binaryProp(PR_ENTRYID, entryId));
    p.push_back(binaryProp(PR_INSTANCE_KEY, entryId));
    p.push_back(binaryProp(PR_RECORD_KEY, entryId));
    p.push_back(binaryProp(PR_PARENT_ENTRYID, folderEntryId(account, role)));
    p.push_back(binaryProp(PR_STORE_ENTRYID, storeEntryId(account)));
    p.push_back(longProp(PR_OBJECT_TYPE, MAPI_MESSAGE));
    p.push_back(textProp(PR_MESSAGE_CLASS, "IPM.Note"));
    p.push_back(longProp(PR_MESSAGE_SIZE, static_cast<LONG>(info.size > 0x7FFFFFFFu ? 0x7FFFFFFFu : info.size)));
    p.push_back(timeProp(PR_MESSAGE_DELIVERY_TIME, message != nullptr && message->received != 0 ? message->received
                                                                                               : info.delivered));
    ULONG flags = info.seen() ? MSGFLAG_READ : 0;
    if (role == FolderRole::Outbox || role == FolderRole::Drafts) flags |= MSGFLAG_UNSENT;
    if (message == nullptr) {
        p.push_back(longProp(PR_MESSAGE_FLAGS, static_cast<LONG>(flags)));
        return p;
    }
    if (!message->attachments.empty()) flags |= MSGFLAG_HASATTACH;
    p.push_back(longProp(PR_MESSAGE_FLAGS, static_cast<LONG>(flags)));
    p.push_back(boolProp(PR_HASATTACH, !message->attachments.empty()));
    p.push_back(textProp(PR_SUBJECT, message->subject));
    if (message->sent != 0) p.push_back(timeProp(PR_CLIENT_SUBMIT_TIME, message->sent));
    p.push_back(longProp(PR_IMPORTANCE, importanceOf(message->priority)));
    p.push_back(boolProp(PR_READ_RECEIPT_REQUESTED, message->readReceipt));
    p.push_back(boolProp(PR_ORIGINATOR_DELIVERY_REPORT_REQUESTED, message->deliveryReport));
    p.push_back(boolProp(PR_MESSAGE_TO_ME, isMine(mailbox, message->to)));
    p.push_back(boolProp(PR_MESSAGE_CC_ME, isMine(mailbox, message->cc)));
    const store::Address& from = message->from;
    if (!from.name.empty() || !from.address.empty()) {
        std::string name = from.name.empty() ? from.address : from.name;
        p.push_back(textProp(PR_SENT_REPRESENTING_NAME, name));
        p.push_back(textProp(PR_SENDER_NAME, name));
    }
    if (!from.address.empty()) {
        std::string id = mailUserEntryId(account, from.name, from.address);
        p.push_back(textProp(PR_SENT_REPRESENTING_ADDRTYPE, "SMTP"));
        p.push_back(textProp(PR_SENT_REPRESENTING_EMAIL_ADDRESS, from.address));
        p.push_back(binaryProp(PR_SENT_REPRESENTING_ENTRYID, id));
        p.push_back(binaryProp(PR_SENT_REPRESENTING_SEARCH_KEY, searchKeyOf(from.address)));
        p.push_back(textProp(PR_SENDER_ADDRTYPE, "SMTP"));
        p.push_back(textProp(PR_SENDER_EMAIL_ADDRESS, from.address));
        p.push_back(binaryProp(PR_SENDER_ENTRYID, id));
    }
    if (withBody) p.push_back(textProp(PR_BODY, message->body));
    return p;
}

std::vector<PropList> recipientRows(const Mailbox& mailbox, const store::Message& message) {
    std::vector<PropList> rows;
    addRecipients(mailbox, message.to, MAPI_TO, rows);
    addRecipients(mailbox, message.cc, MAPI_CC, rows);
    addRecipients(mailbox, message.bcc, MAPI_BCC, rows);
    return rows;
}

std::vector<PropList> attachmentRows(const store::Message& message) {
    std::vector<PropList> rows;
    for (std::size_t i = 0; i < message.attachments.size(); ++i) {
        const store::Attachment& a = message.attachments[i];
        PropList row;
        row.push_back(longProp(PR_ATTACH_NUM, static_cast<LONG>(i)));
        row.push_back(longProp(PR_OBJECT_TYPE, MAPI_ATTACH));
        row.push_back(longProp(PR_ATTACH_METHOD, ATTACH_BY_VALUE));
        row.push_back(longProp(PR_RENDERING_POSITION, -1));
        // A part without a file name has no name here either: the caller words that itself.
        if (!a.name.empty()) {
            row.push_back(textProp(PR_DISPLAY_NAME, a.name));
            row.push_back(textProp(PR_ATTACH_FILENAME, a.name));
            row.push_back(textProp(PR_ATTACH_LONG_FILENAME, a.name));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace vesk::mapi32::ex
