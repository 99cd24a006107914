#include "framework/Msg.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <new>

#include "framework/Allocation.h"

#include "framework/Archive.h"
#include "RuntimeClassRegistry.h"

const CRuntimeClass CMsg::classCMsg = {"CMsg", 1, [] () -> CObject* { return new (std::nothrow) CMsg; }};
static const RuntimeClassRegistration g_registerCMsg(&CMsg::classCMsg);

namespace {

// The three identifiers and the nine texts in record order; one place fixes that order for
// construction, conversion and archiving alike.
template <typename Msg>
auto idsOf(Msg& m) {
    return std::array{&m.m_extraId1, &m.m_hostMsgId, &m.m_extraId2};
}

template <typename Msg>
auto textsOf(Msg& m) {
    return std::array{&m.m_from, &m.m_to, &m.m_cc, &m.m_bcc, &m.m_extraText1,
                      &m.m_extraText2, &m.m_subject, &m.m_body, &m.m_attachments};
}

struct RecordIdField {
    uint32_t MailMsg::*size;
    unsigned char* MailMsg::*data;
};
constexpr std::array<RecordIdField, 3> kRecordIds = {{
    {&MailMsg::extraId1Size, &MailMsg::extraId1},
    {&MailMsg::hostMsgIdSize, &MailMsg::hostMsgId},
    {&MailMsg::extraId2Size, &MailMsg::extraId2},
}};

constexpr std::array<char* MailMsg::*, 9> kRecordTexts = {
    &MailMsg::from, &MailMsg::to, &MailMsg::cc, &MailMsg::bcc, &MailMsg::extraText1,
    &MailMsg::extraText2, &MailMsg::subject, &MailMsg::body, &MailMsg::attachments};

}  // namespace

CMsg::CMsg(const MailMsg& msg) {
    const auto ids = idsOf(*this);
    for (size_t i = 0; i < ids.size(); ++i) ids[i]->Set(msg.*kRecordIds[i].data, msg.*kRecordIds[i].size);
    m_extraWord = msg.extraWord;
    m_timeSent = msg.timeSent;
    m_timeReceived = msg.timeReceived;
    m_size = msg.size;
    m_extraLong = msg.extraLong;
    m_status = msg.status;
    m_flags = msg.flags;
    const auto texts = textsOf(*this);
    for (size_t i = 0; i < texts.size(); ++i) {
        const char* text = msg.*kRecordTexts[i];
        if (text != nullptr) texts[i]->assign(text);
    }
}

int CMsg::ToMailMsg(MailMsg** dest) const {
    if (dest == nullptr) return MAILHOST_NULL_ARGUMENT;
    const auto ids = idsOf(*this);
    const auto texts = textsOf(*this);

    size_t blockSize = MAILMSG_HEADER_SIZE;
    for (const CId* id : ids) blockSize += id->m_size;
    for (const std::string* text : texts) {
        if (!text->empty()) blockSize += text->size() + 1;
    }

    auto* block = static_cast<unsigned char*>(vesk::checkedMalloc(blockSize));
    *dest = reinterpret_cast<MailMsg*>(block);
    if (block == nullptr) return MAILHOST_OUT_OF_MEMORY;
    std::memset(block, 0, blockSize);
    MailMsg* record = *dest;

    size_t pos = MAILMSG_HEADER_SIZE;
    for (size_t i = 0; i < ids.size(); ++i) {
        if (ids[i]->m_size == 0) continue;
        record->*kRecordIds[i].size = ids[i]->m_size;
        record->*kRecordIds[i].data = block + pos;
        std::memcpy(block + pos, ids[i]->m_data, ids[i]->m_size);
        pos += ids[i]->m_size;
    }
    record->version = 1;
    record->extraWord = m_extraWord;
    record->timeSent = m_timeSent;
    record->timeReceived = m_timeReceived;
    record->size = m_size;
    record->extraLong = m_extraLong;
    record->status = m_status;
    record->flags = m_flags;
    for (size_t i = 0; i < texts.size(); ++i) {
        if (texts[i]->empty()) continue;
        char* at = reinterpret_cast<char*>(block + pos);
        std::memcpy(at, texts[i]->c_str(), texts[i]->size() + 1);
        record->*kRecordTexts[i] = at;
        pos += texts[i]->size() + 1;
    }
    return MAILHOST_OK;
}

bool CMsg::Serialize(CArchive& ar) {
    const auto ids = idsOf(*this);
    const auto texts = textsOf(*this);
    if (ar.IsStoring()) {
        for (CId* id : ids) id->Serialize(ar);
        ar.WriteWord(m_extraWord);
        ar.WriteDword(static_cast<uint32_t>(m_timeSent));
        ar.WriteDword(static_cast<uint32_t>(m_timeReceived));
        ar.WriteDword(m_size);
        ar.WriteDword(m_extraLong);
        ar.WriteWord(m_status);
        ar.WriteDword(m_flags);
        for (const std::string* text : texts) ar.WriteString(*text);
        return true;
    }
    if (ar.GetObjectSchema() == 0) return true;
    for (CId* id : ids) {
        if (!id->Serialize(ar)) return false;
    }
    uint32_t timeSent, timeReceived;
    if (!ar.ReadWord(m_extraWord) || !ar.ReadDword(timeSent) || !ar.ReadDword(timeReceived) ||
        !ar.ReadDword(m_size) || !ar.ReadDword(m_extraLong) || !ar.ReadWord(m_status) ||
        !ar.ReadDword(m_flags)) {
        return false;
    }
    m_timeSent = static_cast<int32_t>(timeSent);
    m_timeReceived = static_cast<int32_t>(timeReceived);
    for (std::string* text : texts) {
        if (!ar.ReadString(*text)) return false;
    }
    return true;
}

int ReleaseMailMsg(MailMsg* msg) {
    if (msg == nullptr) return MAILHOST_NULL_ARGUMENT;
    std::free(msg);
    return MAILHOST_OK;
}
