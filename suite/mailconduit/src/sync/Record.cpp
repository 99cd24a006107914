#include "sync/Record.h"

namespace conduit {

namespace {

std::string bytesOf(const unsigned char* data, std::uint32_t size) {
    if (!data || size == 0) return std::string();
    return std::string(reinterpret_cast<const char*>(data), size);
}

std::string textOf(const char* text) { return text ? std::string(text) : std::string(); }

// The plug-in only reads what a record points to; the pointer types are not const because
// the same structure is what a plug-in fills.
unsigned char* idPointer(const std::string& bytes) {
    return bytes.empty() ? nullptr
                         : reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.data()));
}

char* textPointer(const std::string& text) {
    return text.empty() ? nullptr : const_cast<char*>(text.c_str());
}

constexpr std::uint16_t kStatusPriorityMask = 3u << MAILMSG_STATUS_PRIORITY_SHIFT;
constexpr std::uint32_t kFlagsPriorityMask = 3u << MAILMSG_FLAG_PRIORITY_SHIFT;

std::uint16_t withHandheldState(std::uint16_t status, bool read, int priority) {
    status = static_cast<std::uint16_t>(status & ~kStatusPriorityMask);
    status = static_cast<std::uint16_t>(status | (priority << MAILMSG_STATUS_PRIORITY_SHIFT));
    if (read) {
        status = static_cast<std::uint16_t>(status | MAILMSG_STATUS_READ_ON_HANDHELD);
    } else {
        status = static_cast<std::uint16_t>(status & ~MAILMSG_STATUS_READ_ON_HANDHELD);
    }
    return status;
}

}  // namespace

RecordFields fieldsFromRecord(const MailMsg& msg) {
    RecordFields r;
    r.extraId1 = bytesOf(msg.extraId1, msg.extraId1Size);
    r.hostMsgId = bytesOf(msg.hostMsgId, msg.hostMsgIdSize);
    r.extraId2 = bytesOf(msg.extraId2, msg.extraId2Size);
    r.extraWord = msg.extraWord;
    r.timeSent = msg.timeSent;
    r.timeReceived = msg.timeReceived;
    r.size = msg.size;
    r.extraLong = msg.extraLong;
    r.status = msg.status;
    r.flags = msg.flags;
    r.from = textOf(msg.from);
    r.to = textOf(msg.to);
    r.cc = textOf(msg.cc);
    r.bcc = textOf(msg.bcc);
    r.extraText1 = textOf(msg.extraText1);
    r.extraText2 = textOf(msg.extraText2);
    r.subject = textOf(msg.subject);
    r.body = textOf(msg.body);
    r.attachments = textOf(msg.attachments);
    return r;
}

OwnedRecord::OwnedRecord(RecordFields fields) : m_fields(std::move(fields)) {
    const RecordFields& r = m_fields;
    m_msg.version = 1;
    m_msg.extraId1Size = static_cast<std::uint32_t>(r.extraId1.size());
    m_msg.extraId1 = idPointer(r.extraId1);
    m_msg.hostMsgIdSize = static_cast<std::uint32_t>(r.hostMsgId.size());
    m_msg.hostMsgId = idPointer(r.hostMsgId);
    m_msg.extraId2Size = static_cast<std::uint32_t>(r.extraId2.size());
    m_msg.extraId2 = idPointer(r.extraId2);
    m_msg.extraWord = r.extraWord;
    m_msg.timeSent = r.timeSent;
    m_msg.timeReceived = r.timeReceived;
    m_msg.size = r.size;
    m_msg.extraLong = r.extraLong;
    m_msg.status = r.status;
    m_msg.flags = r.flags;
    m_msg.from = textPointer(r.from);
    m_msg.to = textPointer(r.to);
    m_msg.cc = textPointer(r.cc);
    m_msg.bcc = textPointer(r.bcc);
    m_msg.extraText1 = textPointer(r.extraText1);
    m_msg.extraText2 = textPointer(r.extraText2);
    m_msg.subject = textPointer(r.subject);
    m_msg.body = textPointer(r.body);
    m_msg.attachments = textPointer(r.attachments);
}

RecordFields recordForChange(const HandheldMessage& message) {
    RecordFields r = message.record;
    r.status = withHandheldState(r.status, message.read, message.priority);
    return r;
}

RecordFields recordForSubmission(const HandheldMessage& message) {
    RecordFields r = message.record;
    r.hostMsgId.clear();
    r.flags &= ~MAILMSG_FLAG_FROM_HOST;
    r.status = withHandheldState(r.status, message.read, message.priority);
    r.status = static_cast<std::uint16_t>(
        (r.status & ~(MAILMSG_STATUS_DELIVERY_REPORT | MAILMSG_STATUS_READ_RECEIPT)) |
        (message.deliveryReport ? MAILMSG_STATUS_DELIVERY_REPORT : 0) |
        (message.readReceipt ? MAILMSG_STATUS_READ_RECEIPT : 0));
    r.flags = (r.flags & ~kFlagsPriorityMask) |
              (static_cast<std::uint32_t>(message.priority) << MAILMSG_FLAG_PRIORITY_SHIFT);
    if (message.read) {
        r.flags |= MAILMSG_FLAG_READ;
    } else {
        r.flags &= ~MAILMSG_FLAG_READ;
    }
    return r;
}

int desktopPriorityOf(const RecordFields& record) {
    int value = static_cast<int>((record.flags & kFlagsPriorityMask) >> MAILMSG_FLAG_PRIORITY_SHIFT);
    return value == 3 ? kPriorityNormal : value;
}

bool desktopReadOf(const RecordFields& record) { return (record.flags & MAILMSG_FLAG_READ) != 0; }

bool cameFromHost(const RecordFields& record) { return (record.flags & MAILMSG_FLAG_FROM_HOST) != 0; }

}  // namespace conduit
