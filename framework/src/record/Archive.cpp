#include "framework/Archive.h"

#include <cstring>
#include <new>

#include "framework/Object.h"

namespace {

// Tags in front of an archived object.
constexpr uint16_t kNullTag = 0;
constexpr uint16_t kNewClassTag = 0xFFFF;
constexpr uint16_t kClassTag = 0x8000;
constexpr uint16_t kBigObjectTag = 0x7FFF;
constexpr uint32_t kBigClassTag = 0x80000000u;
// The longest class name a tag may announce; real names are a handful of characters.
constexpr uint16_t kMaxClassName = 64;

}  // namespace

CArchive::CArchive() : m_storing(true) {}

CArchive::CArchive(const void* data, size_t size)
    : m_storing(false), m_in(static_cast<const uint8_t*>(data)), m_size(data != nullptr ? size : 0) {}

void CArchive::WriteByte(uint8_t v) { m_out.push_back(v); }

void CArchive::WriteWord(uint16_t v) {
    WriteByte(static_cast<uint8_t>(v));
    WriteByte(static_cast<uint8_t>(v >> 8));
}

void CArchive::WriteDword(uint32_t v) {
    WriteWord(static_cast<uint16_t>(v));
    WriteWord(static_cast<uint16_t>(v >> 16));
}

void CArchive::WriteBytes(const void* data, size_t size) {
    if (size == 0) return;
    const auto* p = static_cast<const uint8_t*>(data);
    m_out.insert(m_out.end(), p, p + size);
}

void CArchive::WriteString(const std::string& s) {
    const size_t n = s.size();
    if (n < 0xFF) {
        WriteByte(static_cast<uint8_t>(n));
    } else if (n < 0xFFFE) {
        WriteByte(0xFF);
        WriteWord(static_cast<uint16_t>(n));
    } else {
        WriteByte(0xFF);
        WriteWord(0xFFFF);
        WriteDword(static_cast<uint32_t>(n));
    }
    WriteBytes(s.data(), n);
}

bool CArchive::ReadBytes(void* data, size_t size) {
    if (size > Remaining()) return false;
    if (size != 0) std::memcpy(data, m_in + m_pos, size);
    m_pos += size;
    return true;
}

bool CArchive::ReadByte(uint8_t& v) { return ReadBytes(&v, 1); }

bool CArchive::ReadWord(uint16_t& v) {
    uint8_t b[2];
    if (!ReadBytes(b, 2)) return false;
    v = static_cast<uint16_t>(b[0] | (b[1] << 8));
    return true;
}

bool CArchive::ReadDword(uint32_t& v) {
    uint8_t b[4];
    if (!ReadBytes(b, 4)) return false;
    v = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
        (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
    return true;
}

bool CArchive::ReadString(std::string& s) {
    const size_t start = m_pos;
    auto fail = [&] {
        m_pos = start;
        return false;
    };
    bool wide = false;
    uint32_t length = 0;
    for (;;) {
        uint8_t b;
        if (!ReadByte(b)) return fail();
        if (b < 0xFF) {
            length = b;
            break;
        }
        uint16_t w;
        if (!ReadWord(w)) return fail();
        if (w == 0xFFFE) {
            // A UTF-16 string: the marker is followed by a length prefix of its own.
            wide = true;
            continue;
        }
        if (w < 0xFFFF) {
            length = w;
            break;
        }
        if (!ReadDword(length)) return fail();
        break;
    }
    const size_t unit = wide ? 2 : 1;
    if (length > Remaining() / unit) return fail();
    std::string text;
    text.resize(length);
    for (uint32_t i = 0; i < length; ++i) {
        if (wide) {
            uint16_t c = 0;
            ReadWord(c);
            text[i] = c <= 0xFF ? static_cast<char>(c) : '?';
        } else {
            uint8_t c = 0;
            ReadByte(c);
            text[i] = static_cast<char>(c);
        }
    }
    s.swap(text);
    return true;
}

void CArchive::WriteObject(const CObject* obj) {
    if (obj == nullptr) {
        WriteWord(kNullTag);
        return;
    }
    const CRuntimeClass* cls = obj->GetRuntimeClass();
    uint32_t classIndex = 0;
    for (const auto& [known, index] : m_storedClasses) {
        if (known == cls) classIndex = index;
    }
    if (classIndex == 0) {
        WriteWord(kNewClassTag);
        WriteWord(cls->m_wSchema);
        const size_t nameLength = std::strlen(cls->m_lpszClassName);
        WriteWord(static_cast<uint16_t>(nameLength));
        WriteBytes(cls->m_lpszClassName, nameLength);
        m_storedClasses.emplace_back(cls, m_mapCount++);
    } else if (classIndex < kBigObjectTag) {
        WriteWord(static_cast<uint16_t>(kClassTag | classIndex));
    } else {
        WriteWord(kBigObjectTag);
        WriteDword(kBigClassTag | classIndex);
    }
    // The object itself takes an index too, so later references could name it.
    ++m_mapCount;
    const_cast<CObject*>(obj)->Serialize(*this);
}

CObject* CArchive::ReadObject(bool* ok) {
    if (ok != nullptr) *ok = false;
    uint16_t tag;
    if (!ReadWord(tag)) return nullptr;
    if (tag == kNullTag) {
        if (ok != nullptr) *ok = true;
        return nullptr;
    }

    const CRuntimeClass* cls = nullptr;
    uint16_t schema = 0;
    if (tag == kNewClassTag) {
        uint16_t nameLength;
        char name[kMaxClassName];
        if (!ReadWord(schema) || !ReadWord(nameLength) || nameLength == 0 ||
            nameLength > kMaxClassName || !ReadBytes(name, nameLength)) {
            return nullptr;
        }
        cls = CRuntimeClass::FromName(name, nameLength);
        if (cls == nullptr) return nullptr;
        m_loadedClasses.push_back({m_mapCount++, cls, schema});
    } else {
        uint32_t classIndex = 0;
        if (tag == kBigObjectTag) {
            uint32_t big;
            if (!ReadDword(big) || (big & kBigClassTag) == 0) return nullptr;
            classIndex = big & ~kBigClassTag;
        } else if ((tag & kClassTag) != 0) {
            classIndex = tag & ~kClassTag;
        } else {
            // A reference to an object read earlier: archives of messages never hold one.
            return nullptr;
        }
        // The schema travels only with the first object of a class.
        for (const LoadedClass& known : m_loadedClasses) {
            if (known.index == classIndex) {
                cls = known.cls;
                schema = known.schema;
            }
        }
        if (cls == nullptr) return nullptr;
    }
    ++m_mapCount;

    CObject* obj = cls->CreateObject();
    if (obj == nullptr) return nullptr;
    const uint16_t previousSchema = m_schema;
    m_schema = schema;
    const bool loaded = obj->Serialize(*this);
    m_schema = previousSchema;
    if (!loaded) {
        delete obj;
        return nullptr;
    }
    if (ok != nullptr) *ok = true;
    return obj;
}
