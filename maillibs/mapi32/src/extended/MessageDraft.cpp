#include "extended/MessageDraft.h"

#include <strings.h>

#include <ctime>

#include "common/AddressBook.h"
#include "extended/EntryIds.h"
#include "extended/MessageProps.h"
#include "store/ProblemLog.h"

namespace vesk::mapi32::ex {
namespace {

// The address of a recipient row, when it has one that mail can go to: its entry
// identifier's, its Internet address, or what its name resolves to in `book` (or is itself).
bool addressOfRow(const Mailbox& mailbox, const std::vector<BookEntry>& book, const PropList& row,
                  store::Address& out) {
    out.name = textOf(row, PR_DISPLAY_NAME);
    const Prop* id = findProp(row, PR_ENTRYID);
    if (id != nullptr && PROP_TYPE(id->tag) == PT_BINARY) {
        std::optional<EntryRef> ref = parseEntryId(id->bytes.data(), static_cast<ULONG>(id->bytes.size()));
        if (ref && ref->kind == EntryKind::MailUser) {
            out.address = ref->address;
            if (out.name.empty()) out.name = ref->name;
            return true;
        }
        if (ref && ref->kind == EntryKind::Identity && !mailbox.account.address.empty()) {
            out.address = mailbox.account.address;
            if (out.name.empty()) out.name = mailbox.account.displayName;
            return true;
        }
    }
    std::string type = textOf(row, PR_ADDRTYPE);
    std::string email = textOf(row, PR_EMAIL_ADDRESS);
    std::string plain;
    if (!email.empty() && (type.empty() || ::strcasecmp(type.c_str(), "SMTP") == 0) && stripAddressType(email, plain)) {
        BookEntry parsed = parseMailbox(plain);
        if (isPlainAddress(parsed.address)) {
            out.address = parsed.address;
            if (out.name.empty()) out.name = parsed.name;
            return true;
        }
    }
    if (out.name.empty() || !email.empty()) return false;
    BookEntry found;
    Lookup lookup = lookUp(book, out.name, found);
    if (lookup == Lookup::Unique) {
        out = store::Address{found.name.empty() ? out.name : found.name, found.address};
        return true;
    }
    BookEntry typed = parseMailbox(out.name);
    if (lookup == Lookup::Unknown && stripAddressType(typed.address, plain) && isPlainAddress(plain)) {
        out = store::Address{typed.name, plain};
        return true;
    }
    return false;
}

}  // namespace

std::string crlfText(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

HRESULT draftOf(const Mailbox& mailbox, const PropList& props, const std::vector<PropList>& recipients, DraftUse use,
                store::Draft& draft) {
    draft = store::Draft{};
    draft.subject = textOf(props, PR_SUBJECT);
    draft.body = crlfText(textOf(props, PR_BODY));
    draft.priority = priorityOf(longOf(props, PR_IMPORTANCE, IMPORTANCE_NORMAL)).value_or(store::Priority::Normal);
    draft.readReceipt = boolOf(props, PR_READ_RECEIPT_REQUESTED, false);
    draft.deliveryReport = boolOf(props, PR_ORIGINATOR_DELIVERY_REPORT_REQUESTED, false);
    const Prop* submitted = findProp(props, PR_CLIENT_SUBMIT_TIME);
    if (use == DraftUse::Filing && submitted != nullptr && PROP_TYPE(submitted->tag) == PT_SYSTIME) {
        draft.date = timeOfFileTime(submitted->wide);
    }
    if (use == DraftUse::Sending) {
        // Mail goes out as the account's user, whatever sender the caller names.
        draft.from = store::Address{mailbox.account.displayName, mailbox.account.address};
    } else {
        std::string name = textOf(props, PR_SENT_REPRESENTING_NAME);
        std::string email = textOf(props, PR_SENT_REPRESENTING_EMAIL_ADDRESS);
        if (name.empty() && email.empty()) {
            name = textOf(props, PR_SENDER_NAME);
            email = textOf(props, PR_SENDER_EMAIL_ADDRESS);
        }
        std::string plain;
        if (!stripAddressType(email, plain) || !isPlainAddress(plain)) plain.clear();
        draft.from = store::Address{name.empty() && plain.empty() ? email : name, plain};
    }
    if (draft.from.address.empty()) draft.readReceipt = draft.deliveryReport = false;

    const Account& account = mailbox.account;
    std::vector<BookEntry> book = bookWithOwnEntry(account.addressBook, account.displayName, account.address);
    for (const PropList& row : recipients) {
        LONG type = longOf(row, PR_RECIPIENT_TYPE, MAPI_TO) & ~static_cast<LONG>(MAPI_SUBMITTED | MAPI_P1);
        std::vector<store::Address>* target = type == MAPI_CC ? &draft.cc : type == MAPI_BCC ? &draft.bcc : &draft.to;
        store::Address a;
        if (!addressOfRow(mailbox, book, row, a)) {
            std::string shown = textOf(row, PR_DISPLAY_NAME);
            if (shown.empty()) shown = textOf(row, PR_EMAIL_ADDRESS);
            if (use == DraftUse::Sending) {
                store::logProblem("mapi32", "recipient \"" + shown + "\"",
                                  "the message cannot be sent: the recipient has no Internet mail address");
                return MAPI_E_INVALID_PARAMETER;
            }
            a = store::Address{shown, std::string()};
            if (a.name.empty()) continue;
        }
        target->push_back(std::move(a));
    }
    return S_OK;
}

}  // namespace vesk::mapi32::ex
