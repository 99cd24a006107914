// CMsg: a message inside a plug-in. It owns its identifiers and texts; it is built from a
// caller's MailMsg record or by a backend from the mail system, and converted into the flat
// record that crosses the boundary.
#pragma once

#include <cstdint>
#include <string>

#include "framework/Id.h"
#include "framework/MailHost.h"

class CMsg : public CObject {
public:
    /// Empty identifiers and texts, numbers 0, status 0x0400 (handheld priority normal),
    /// flags 0x002A0000 (the three two-bit fields each 1: desktop priority normal).
    CMsg() = default;
    /// Copies the identifiers, the seven numeric fields as they stand, and every text whose
    /// pointer is not null. `version` and `reserved` are not read; `msg` stays the caller's.
    explicit CMsg(const MailMsg& msg);

    /// Builds the flat record as one heap block (see MailMsg) and stores its address at
    /// `*dest`. MAILHOST_NULL_ARGUMENT when `dest` is null; MAILHOST_OUT_OF_MEMORY (with null
    /// stored) when the block cannot be allocated. The record is released with ReleaseMailMsg.
    int ToMailMsg(MailMsg** dest) const;

    /// Storing writes the members in order; loading with schema 0 reads nothing, any other
    /// schema reads the members. Loading returns false on a short or malformed archive.
    bool Serialize(CArchive& ar) override;

    static const CRuntimeClass classCMsg;  ///< "CMsg", schema 1
    const CRuntimeClass* GetRuntimeClass() const override { return &classCMsg; }

    static constexpr uint16_t kDefaultStatus = 0x0400;
    static constexpr uint32_t kDefaultFlags = 0x002A0000;

    CId m_extraId1;
    CId m_hostMsgId;
    CId m_extraId2;
    uint16_t m_extraWord = 0;
    int32_t m_timeSent = 0;
    int32_t m_timeReceived = 0;
    uint32_t m_size = 0;
    uint32_t m_extraLong = 0;
    uint16_t m_status = kDefaultStatus;
    uint32_t m_flags = kDefaultFlags;
    std::string m_from;
    std::string m_to;
    std::string m_cc;
    std::string m_bcc;
    std::string m_extraText1;
    std::string m_extraText2;
    std::string m_subject;
    std::string m_body;
    std::string m_attachments;
};

/// Frees one record built by ToMailMsg. MAILHOST_NULL_ARGUMENT for null, else MAILHOST_OK.
int ReleaseMailMsg(MailMsg* msg);
