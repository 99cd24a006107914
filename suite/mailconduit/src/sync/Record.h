// Message records on the conduit's side of the boundary: copying the records a plug-in hands
// out, and building the records the conduit passes in.
#pragma once

#include "handheld/Handheld.h"
#include "framework/MailHost.h"

namespace conduit {

/// Copies every field of a plug-in's record (null pointers read as empty).
RecordFields fieldsFromRecord(const MailMsg& msg);

/// A record the conduit passes to a plug-in: a MailMsg whose pointers point into strings this
/// object owns. The plug-in only reads it. Neither copyable nor movable, so the pointers stay
/// valid for the object's life.
class OwnedRecord {
public:
    explicit OwnedRecord(RecordFields fields);
    OwnedRecord(const OwnedRecord&) = delete;
    OwnedRecord& operator=(const OwnedRecord&) = delete;

    const MailMsg* get() const { return &m_msg; }
    const RecordFields& fields() const { return m_fields; }

private:
    RecordFields m_fields;
    MailMsg m_msg{};
};

/// The record for DeleteMsg, SetMsgReadStatus and SetMsgPriority of an inbox message: the
/// desktop's record with the handheld's read state (status bit 15) and priority (status
/// bits 10-11) written in.
RecordFields recordForChange(const HandheldMessage& message);

/// The record for SendMsg or SetMsg of a message from the outbox or the filing queue: no host
/// identity, the handheld's priority in status bits 10-11 and flags bits 21-22, the receipts
/// in status bits 12-13, the read state in status bit 15 and flags bit 25.
RecordFields recordForSubmission(const HandheldMessage& message);

/// The priority a desktop record reports (flags bits 21-22; 3 counts as normal).
int desktopPriorityOf(const RecordFields& record);
/// True when a desktop record reports the message read (flags bit 25).
bool desktopReadOf(const RecordFields& record);
/// True when the record came from a plug-in's GetAllMsgs (flags bit 31).
bool cameFromHost(const RecordFields& record);

}  // namespace conduit
