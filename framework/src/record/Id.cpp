#include "framework/Id.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "framework/Allocation.h"

#include "framework/Archive.h"
#include "RuntimeClassRegistry.h"

const CRuntimeClass CId::classCId = {"CId", 1, [] () -> CObject* { return new (std::nothrow) CId; }};
static const RuntimeClassRegistration g_registerCId(&CId::classCId);

CId::CId(const void* data, uint32_t size) { Set(data, size); }

CId::CId(const CId& other) : CObject(other) { Set(other.m_data, other.m_size); }

CId& CId::operator=(const CId& other) {
    if (this != &other) Set(other.m_data, other.m_size);
    return *this;
}

CId::~CId() { std::free(m_data); }

void CId::Set(const void* data, uint32_t size) {
    // Copy first: `data` may point into our own buffer.
    unsigned char* copy = nullptr;
    if (data != nullptr && size != 0) {
        copy = static_cast<unsigned char*>(vesk::checkedMalloc(size));
        if (copy != nullptr) std::memcpy(copy, data, size);
    }
    std::free(m_data);
    m_data = copy;
    m_size = copy != nullptr ? size : 0;
}

bool CId::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteDword(m_size);
        ar.WriteBytes(m_data, m_size);
        return true;
    }
    Set(nullptr, 0);
    uint32_t size;
    if (!ar.ReadDword(size)) return false;
    if (size == 0) return true;
    // A size beyond what the archive still holds is a lie: refuse it before allocating.
    if (size > ar.Remaining()) return false;
    auto* bytes = static_cast<unsigned char*>(vesk::checkedMalloc(size));
    if (bytes == nullptr) return false;
    ar.ReadBytes(bytes, size);
    m_data = bytes;
    m_size = size;
    return true;
}
