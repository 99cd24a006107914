// GetAllMsgs: reads the inbox's contents table ten rows at a time, makes a record of each
// row and, unless only headers are wanted, opens each message for its body, recipients and
// attachment names.
#include <cstring>
#include <memory>
#include <new>

#include "DunmereApp.h"
#include "MapiMessageText.h"
#include "framework/MsgArray.h"
#include "framework/ResourceStrings.h"
#include "framework/UnwrapLines.h"
#include "morleaf_ids.h"
#include "trevlin/Trevlin.h"

namespace {

constexpr int kYieldCycles = 100;
// Rows fetched per QueryRows.
constexpr LONG kBatchRows = 10;
// A body too long for GetProps is read through a stream, this many bytes at most.
constexpr ULONG kStreamBodyLimit = 65535;

void yield() { SyncYieldCycles(kYieldCycles); }

// The contents-table columns; a row's values come back in this order.
enum Column : ULONG {
    kEntryId, kSubmitTime, kDeliveryTime, kMessageFlags, kImportance, kSenderType, kSenderAddress, kSenderName,
    kSubject, kSize, kToMe, kCcMe, kColumnCount
};
SizedSPropTagArray(kColumnCount, kContentsColumns) = {
    kColumnCount,
    {PR_ENTRYID, PR_CLIENT_SUBMIT_TIME, PR_MESSAGE_DELIVERY_TIME, PR_MESSAGE_FLAGS, PR_IMPORTANCE,
     PR_SENT_REPRESENTING_ADDRTYPE, PR_SENT_REPRESENTING_EMAIL_ADDRESS, PR_SENT_REPRESENTING_NAME, PR_SUBJECT,
     PR_MESSAGE_SIZE, PR_MESSAGE_TO_ME, PR_MESSAGE_CC_ME}};

enum RecipientColumn : ULONG { kRecipName, kRecipEntryId, kRecipType, kRecipKind, kRecipAddress, kRecipSearchKey, kRecipColumns };
SizedSPropTagArray(kRecipColumns, kRecipientColumns) = {
    kRecipColumns, {PR_DISPLAY_NAME, PR_ENTRYID, PR_ADDRTYPE, PR_RECIPIENT_TYPE, PR_EMAIL_ADDRESS, PR_SEARCH_KEY}};

SizedSPropTagArray(2, kAttachmentColumns) = {2, {PR_DISPLAY_NAME, PR_ATTACH_FILENAME}};

// The value in column `column` when the row has it with the tag asked for.
const SPropValue* valueOf(const SRow& row, ULONG column) {
    if (column >= row.cValues || row.lpProps == nullptr) return nullptr;
    const SPropValue& value = row.lpProps[column];
    return value.ulPropTag == kContentsColumns.aulPropTag[column] ? &value : nullptr;
}

void setField(uint32_t& word, uint32_t shift, uint32_t value) {
    word = (word & ~(3u << shift)) | ((value & 3u) << shift);
}
void setStatusField(uint16_t& status, uint32_t shift, uint32_t value) {
    uint32_t word = status;
    setField(word, shift, value);
    status = static_cast<uint16_t>(word);
}

void fillFromRow(CMsg& msg, const SRow& row, const std::string& smtp) {
    msg.m_flags |= MAILMSG_FLAG_FROM_HOST;
    if (const SPropValue* v = valueOf(row, kEntryId); v != nullptr && v->Value.bin.cb != 0) {
        msg.m_hostMsgId.Set(v->Value.bin.lpb, v->Value.bin.cb);
    }
    if (const SPropValue* v = valueOf(row, kSubmitTime)) MapiTimeFromFileTime(v->Value.ft, &msg.m_timeSent);
    if (const SPropValue* v = valueOf(row, kDeliveryTime)) MapiTimeFromFileTime(v->Value.ft, &msg.m_timeReceived);
    if (const SPropValue* v = valueOf(row, kMessageFlags)) {
        const ULONG flags = static_cast<ULONG>(v->Value.l);
        msg.m_flags = (msg.m_flags & ~static_cast<uint32_t>(MAILMSG_FLAG_HAS_ATTACHMENTS | MAILMSG_FLAG_READ)) |
                      ((flags & MSGFLAG_HASATTACH) != 0 ? static_cast<uint32_t>(MAILMSG_FLAG_HAS_ATTACHMENTS) : 0u) |
                      ((flags & MSGFLAG_READ) != 0 ? static_cast<uint32_t>(MAILMSG_FLAG_READ) : 0u);
    }
    if (const SPropValue* v = valueOf(row, kImportance)) {
        setField(msg.m_flags, MAILMSG_FLAG_PRIORITY_SHIFT, MapiPriorityOfImportance(v->Value.l));
    }
    if (const SPropValue* v = valueOf(row, kSubject); v != nullptr && v->Value.lpszA != nullptr) {
        msg.m_subject = v->Value.lpszA;
    }
    if (const SPropValue* v = valueOf(row, kSize)) msg.m_size = static_cast<uint32_t>(v->Value.l);
    if (const SPropValue* toMe = valueOf(row, kToMe)) {
        const SPropValue* ccMe = valueOf(row, kCcMe);
        if (toMe->Value.b) {
            setStatusField(msg.m_status, MAILMSG_STATUS_ADDRESSED_SHIFT, 0);
        } else if (ccMe != nullptr) {
            setStatusField(msg.m_status, MAILMSG_STATUS_ADDRESSED_SHIFT, ccMe->Value.b ? 1 : 2);
        }
    }
    auto text = [&row](ULONG column) {
        const SPropValue* v = valueOf(row, column);
        return v != nullptr && v->Value.lpszA != nullptr ? std::string(v->Value.lpszA) : std::string();
    };
    msg.m_from = MapiAddressText(text(kSenderType), text(kSenderAddress), text(kSenderName), smtp, false);
}

// `text` with soft line breaks joined.
std::string unwrapped(const char* text, size_t length) {
    std::string out(length + 1, '\0');
    UnwrapLines(out.data(), text, length);
    out.resize(std::strlen(out.c_str()));
    return out;
}

template <typename T>
void release(T*& object) {
    if (object != nullptr) object->Release();
    object = nullptr;
}

}  // namespace

int CDunmereApp::GetAllMsgs(MailMsg*** msgsOut, int* countOut, int headersOnly) {
    if (msgsOut == nullptr || countOut == nullptr) return MAILHOST_NULL_ARGUMENT;
    // Set first: whatever happens below, a failure never reads as a count from before.
    *countOut = 0;
    if (!HasMailbox() || m_mailbox->folders[kMapiInbox] == nullptr) return MAILHOST_SERVER_ERROR;
    const std::string smtp = LoadResString(MORLEAF_IDS_SMTP);
    LPMAPITABLE table = nullptr;
    LPSRowSet rows = nullptr;
    CMsgList msgs;
    int status = MAILHOST_OK;
    try {
        // A table that cannot be read is a failure, never an empty inbox: the conduit would
        // take the desktop's messages for deleted.
        if (FAILED(m_mailbox->folders[kMapiInbox]->GetContentsTable(0, &table)) || table == nullptr) {
            return MAILHOST_SERVER_ERROR;
        }
        yield();
        if (FAILED(table->SetColumns(reinterpret_cast<LPSPropTagArray>(&kContentsColumns), 0))) {
            status = MAILHOST_SERVER_ERROR;
        }
        yield();
        if (status == MAILHOST_OK && FAILED(table->QueryRows(kBatchRows, 0, &rows))) status = MAILHOST_SERVER_ERROR;
        while (status == MAILHOST_OK && rows != nullptr && rows->cRows > 0) {
            yield();
            for (ULONG r = 0; r < rows->cRows && status == MAILHOST_OK; ++r) {
                yield();
                const SRow& row = rows->aRow[r];
                if (row.cValues == 0 || row.lpProps == nullptr || row.lpProps[0].ulPropTag != PR_ENTRYID) continue;
                std::unique_ptr<CMsg> msg(new (std::nothrow) CMsg);
                // A message left out would read as deleted on the desktop.
                if (!msg) {
                    status = MAILHOST_OUT_OF_MEMORY;
                    break;
                }
                fillFromRow(*msg, row, smtp);
                // A record without its identifier could never be found again.
                if (msg->m_hostMsgId.IsEmpty() && row.lpProps[0].Value.bin.cb != 0) {
                    status = MAILHOST_OUT_OF_MEMORY;
                    break;
                }
                if (headersOnly == 0) status = ReadInFull(*msg);
                msgs.push_back(std::move(msg));
            }
            Mapi().FreeProws(rows);
            rows = nullptr;
            if (status != MAILHOST_OK) break;
            // A later batch that fails leaves the listing incomplete: not one to hand out.
            if (FAILED(table->QueryRows(kBatchRows, 0, &rows))) status = MAILHOST_SERVER_ERROR;
        }
    } catch (const std::bad_alloc&) {
        status = MAILHOST_OUT_OF_MEMORY;
    }
    // The last, empty row set is freed as well as every full one.
    if (rows != nullptr) Mapi().FreeProws(rows);
    release(table);
    yield();
    if (status != MAILHOST_OK) return status;
    return BuildMailMsgArray(std::move(msgs), msgsOut, countOut);
}

int CDunmereApp::FreeMailMsg(MailMsg** msgs, int count) { return FreeMailMsgArray(msgs, count); }

int CDunmereApp::ReadInFull(CMsg& msg) {
    // The body is optional: a message whose body cannot be read still has its header.
    ReadBody(msg);
    int status = ReadRecipients(msg);
    setStatusField(msg.m_status, MAILMSG_STATUS_CONTENT_SHIFT, 2);
    if ((msg.m_flags & MAILMSG_FLAG_HAS_ATTACHMENTS) != 0) {
        int attachments = ReadAttachments(msg);
        if (status == MAILHOST_OK) status = attachments;
    }
    return status;
}

int CDunmereApp::OpenRecordMessage(const CMsg& msg, ULONG* type, LPMESSAGE* message) {
    *message = nullptr;
    if ((msg.m_flags & MAILMSG_FLAG_FROM_HOST) == 0 || msg.m_hostMsgId.IsEmpty()) return MAILHOST_SERVER_ERROR;
    LPUNKNOWN object = nullptr;
    HRESULT hr = m_mailbox->store->OpenEntry(msg.m_hostMsgId.Size(),
                                             reinterpret_cast<LPENTRYID>(const_cast<unsigned char*>(msg.m_hostMsgId.Data())),
                                             nullptr, MAPI_BEST_ACCESS, type, &object);
    if (FAILED(hr)) {
        release(object);
        return MAILHOST_SERVER_ERROR;
    }
    if (object == nullptr) return MAILHOST_SERVER_ERROR;
    if (*type != MAPI_MESSAGE) {
        // Something other than a message is not ours to read, but still ours to release.
        object->Release();
        return MAILHOST_ERROR;
    }
    *message = reinterpret_cast<LPMESSAGE>(object);
    return MAILHOST_OK;
}

int CDunmereApp::ReadBody(CMsg& msg) {
    yield();
    ULONG type = 0;
    LPMESSAGE message = nullptr;
    int result = OpenRecordMessage(msg, &type, &message);
    if (result != MAILHOST_OK) return result;
    SizedSPropTagArray(1, bodyTag) = {1, {PR_BODY}};
    ULONG count = 0;
    LPSPropValue values = nullptr;
    if (FAILED(message->GetProps(reinterpret_cast<LPSPropTagArray>(&bodyTag), 0, &count, &values)) ||
        values == nullptr || count == 0) {
        result = MAILHOST_ERROR;
    } else {
        yield();
        if (values[0].ulPropTag == PR_BODY) {
            const char* text = values[0].Value.lpszA != nullptr ? values[0].Value.lpszA : "";
            msg.m_body = unwrapped(text, std::strlen(text));
            msg.m_size = static_cast<uint32_t>(msg.m_body.size());
        } else if (PROP_TYPE(values[0].ulPropTag) == PT_ERROR && values[0].Value.err == MAPI_E_NOT_ENOUGH_MEMORY) {
            std::string text;
            if (SUCCEEDED(ReadBodyStream(message, &text)) && !text.empty()) {
                msg.m_body = unwrapped(text.data(), text.size());
                msg.m_size = static_cast<uint32_t>(msg.m_body.size());
            }
        } else {
            result = MAILHOST_ERROR;
        }
    }
    if (values != nullptr) Mapi().MAPIFreeBuffer(values);
    message->Release();
    yield();
    return result;
}

HRESULT CDunmereApp::ReadBodyStream(LPMESSAGE message, std::string* text) {
    LPUNKNOWN unknown = nullptr;
    HRESULT hr = message->OpenProperty(PR_BODY, &IID_IStream, 0, 0, &unknown);
    if (hr != S_OK || unknown == nullptr) {
        release(unknown);
        return FAILED(hr) ? hr : MAPI_E_NOT_FOUND;
    }
    LPSTREAM stream = reinterpret_cast<LPSTREAM>(unknown);
    STATSTG stat{};
    hr = stream->Stat(&stat, STATFLAG_NONAME);
    if (hr == S_OK) {
        ULONG size = static_cast<ULONG>(stat.cbSize.QuadPart & 0xFFFFFFFFu);
        ULONG wanted = (size < kStreamBodyLimit - 1 ? size : kStreamBodyLimit - 1) + 1;
        std::string buffer(wanted, '\0');
        ULONG got = 0;
        hr = stream->Read(buffer.data(), wanted, &got);
        if (SUCCEEDED(hr)) {
            // The bytes read carry no terminator of their own: the text ends at the count
            // read, or at a NUL among them.
            if (got > wanted) got = wanted;
            buffer.resize(got);
            size_t nul = buffer.find('\0');
            if (nul != std::string::npos) buffer.resize(nul);
            *text = std::move(buffer);
        }
    }
    stream->Release();
    return hr;
}

int CDunmereApp::ReadRecipients(CMsg& msg) {
    ULONG type = 0;
    LPMESSAGE message = nullptr;
    int result = OpenRecordMessage(msg, &type, &message);
    if (result != MAILHOST_OK) return MAILHOST_SERVER_ERROR;
    LPMAPITABLE table = nullptr;
    LPSRowSet rows = nullptr;
    if (FAILED(message->GetRecipientTable(0, &table)) || table == nullptr ||
        FAILED(Mapi().HrQueryAllRows(table, reinterpret_cast<LPSPropTagArray>(&kRecipientColumns), nullptr, nullptr,
                                     0, &rows)) ||
        rows == nullptr) {
        // Recipients that could not be read are not "no recipients".
        result = MAILHOST_SERVER_ERROR;
    } else {
        const std::string smtp = LoadResString(MORLEAF_IDS_SMTP);
        msg.m_to.clear();
        msg.m_cc.clear();
        msg.m_bcc.clear();
        for (ULONG r = 0; r < rows->cRows; ++r) {
            const SRow& row = rows->aRow[r];
            auto value = [&row](ULONG column) -> const SPropValue* {
                if (column >= row.cValues || row.lpProps == nullptr) return nullptr;
                const SPropValue& v = row.lpProps[column];
                return v.ulPropTag == kRecipientColumns.aulPropTag[column] ? &v : nullptr;
            };
            auto text = [&value](ULONG column) {
                const SPropValue* v = value(column);
                return v != nullptr && v->Value.lpszA != nullptr ? std::string(v->Value.lpszA) : std::string();
            };
            const SPropValue* kind = value(kRecipKind);
            std::string& list = kind != nullptr && kind->Value.l == MAPI_CC    ? msg.m_cc
                                : kind != nullptr && kind->Value.l == MAPI_BCC ? msg.m_bcc
                                                                               : msg.m_to;
            std::string entry = MapiAddressText(text(kRecipType), text(kRecipAddress), text(kRecipName), smtp, true);
            if (entry.empty()) continue;
            if (!list.empty()) list += ",";
            list += entry;
        }
    }
    if (rows != nullptr) Mapi().FreeProws(rows);
    release(table);
    message->Release();
    return result;
}

int CDunmereApp::ReadAttachments(CMsg& msg) {
    msg.m_attachments.clear();
    yield();
    ULONG type = 0;
    LPMESSAGE message = nullptr;
    if (OpenRecordMessage(msg, &type, &message) != MAILHOST_OK) return MAILHOST_SERVER_ERROR;
    int result = MAILHOST_OK;
    LPMAPITABLE table = nullptr;
    LPSRowSet rows = nullptr;
    if (FAILED(message->GetAttachmentTable(0, &table)) || table == nullptr ||
        FAILED(Mapi().HrQueryAllRows(table, reinterpret_cast<LPSPropTagArray>(&kAttachmentColumns), nullptr, nullptr,
                                     0, &rows)) ||
        rows == nullptr) {
        result = MAILHOST_SERVER_ERROR;
    } else {
        const std::string unknown = LoadResString(MORLEAF_IDS_UNKNOWN_ATTACHMENT);
        for (ULONG r = 0; r < rows->cRows; ++r) {
            const SRow& row = rows->aRow[r];
            std::string name;
            for (ULONG column = 0; column < 2 && name.empty(); ++column) {
                if (column < row.cValues && row.lpProps != nullptr) {
                    name = MapiText(row.lpProps[column], kAttachmentColumns.aulPropTag[column]);
                }
            }
            if (name.empty()) name = unknown;
            if (!msg.m_attachments.empty()) msg.m_attachments += "\n";
            msg.m_attachments += "\t" + name;
        }
    }
    if (rows != nullptr) Mapi().FreeProws(rows);
    release(table);
    message->Release();
    yield();
    return result;
}
