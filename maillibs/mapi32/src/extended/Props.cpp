#include "extended/Props.h"

#include <cstring>

#include "common/Buffers.h"

namespace vesk::mapi32::ex {
namespace {

// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kEpochDifference = 11644473600LL;
constexpr std::int64_t kTicksPerSecond = 10000000LL;
constexpr ULONG kMaxTags = 4096;

bool sameId(ULONG a, ULONG b) { return PROP_ID(a) == PROP_ID(b); }

}  // namespace

Prop longProp(ULONG tag, LONG value) {
    Prop p;
    p.tag = tag;
    p.number = value;
    return p;
}

Prop boolProp(ULONG tag, bool value) { return longProp(tag, value ? 1 : 0); }

Prop textProp(ULONG tag, std::string_view text) {
    Prop p;
    p.tag = tag;
    p.bytes = std::string(text);
    return p;
}

Prop binaryProp(ULONG tag, std::string_view bytes) { return textProp(tag, bytes); }

Prop timeProp(ULONG tag, std::time_t when) {
    Prop p;
    p.tag = tag;
    p.wide = fileTimeOf(when);
    return p;
}

Prop errorProp(ULONG tag, SCODE why) { return longProp(CHANGE_PROP_TYPE(tag, PT_ERROR), why); }

const Prop* findProp(const PropList& list, ULONG tag) {
    for (const Prop& p : list) {
        if (sameId(p.tag, tag)) return &p;
    }
    return nullptr;
}

void putProp(PropList& list, Prop prop) {
    for (Prop& p : list) {
        if (sameId(p.tag, prop.tag)) {
            p = std::move(prop);
            return;
        }
    }
    list.push_back(std::move(prop));
}

void dropProp(PropList& list, ULONG tag) {
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (sameId(it->tag, tag)) {
            list.erase(it);
            return;
        }
    }
}

std::string textOf(const PropList& list, ULONG tag) {
    const Prop* p = findProp(list, tag);
    return p != nullptr && PROP_TYPE(p->tag) == PT_STRING8 ? p->bytes : std::string();
}

LONG longOf(const PropList& list, ULONG tag, LONG fallback) {
    const Prop* p = findProp(list, tag);
    return p != nullptr && PROP_TYPE(p->tag) == PT_LONG ? p->number : fallback;
}

bool boolOf(const PropList& list, ULONG tag, bool fallback) {
    const Prop* p = findProp(list, tag);
    return p != nullptr && PROP_TYPE(p->tag) == PT_BOOLEAN ? p->number != 0 : fallback;
}

std::int64_t fileTimeOf(std::time_t when) {
    return (static_cast<std::int64_t>(when) + kEpochDifference) * kTicksPerSecond;
}

std::time_t timeOfFileTime(std::int64_t fileTime) {
    return static_cast<std::time_t>(fileTime / kTicksPerSecond - kEpochDifference);
}

bool writeValue(const Prop& prop, SPropValue& out, void* root, std::size_t inlineLimit) {
    std::memset(&out, 0, sizeof out);
    out.ulPropTag = prop.tag;
    switch (PROP_TYPE(prop.tag)) {
    case PT_LONG:
    case PT_ERROR: out.Value.l = prop.number; return true;
    case PT_I2: out.Value.i = static_cast<short>(prop.number); return true;
    case PT_BOOLEAN: out.Value.b = prop.number != 0 ? 1 : 0; return true;
    case PT_SYSTIME:
        out.Value.ft.dwLowDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(prop.wide) & 0xFFFFFFFFu);
        out.Value.ft.dwHighDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(prop.wide) >> 32);
        return true;
    case PT_I8: out.Value.li.QuadPart = prop.wide; return true;
    case PT_STRING8:
        if (prop.bytes.size() + 1 > inlineLimit) {
            out.ulPropTag = CHANGE_PROP_TYPE(prop.tag, PT_ERROR);
            out.Value.err = MAPI_E_NOT_ENOUGH_MEMORY;
            return true;
        }
        out.Value.lpszA = copyText(prop.bytes, root);
        return out.Value.lpszA != nullptr;
    case PT_BINARY: {
        if (prop.bytes.size() > inlineLimit) {
            out.ulPropTag = CHANGE_PROP_TYPE(prop.tag, PT_ERROR);
            out.Value.err = MAPI_E_NOT_ENOUGH_MEMORY;
            return true;
        }
        void* bytes = allocateMore(prop.bytes.size(), root);
        if (bytes == nullptr) return false;
        if (!prop.bytes.empty()) std::memcpy(bytes, prop.bytes.data(), prop.bytes.size());
        out.Value.bin.cb = static_cast<ULONG>(prop.bytes.size());
        out.Value.bin.lpb = static_cast<LPBYTE>(bytes);
        return true;
    }
    default: out.Value.x = 0; return true;  // PT_NULL and the like carry no value
    }
}

HRESULT readValue(const SPropValue& in, Prop& out, std::size_t limit) {
    out = Prop{};
    out.tag = in.ulPropTag;
    switch (PROP_TYPE(in.ulPropTag)) {
    case PT_LONG:
    case PT_ERROR: out.number = in.Value.l; return S_OK;
    case PT_I2: out.number = in.Value.i; return S_OK;
    case PT_BOOLEAN: out.number = in.Value.b != 0 ? 1 : 0; return S_OK;
    case PT_SYSTIME:
        out.wide = static_cast<std::int64_t>((static_cast<std::uint64_t>(in.Value.ft.dwHighDateTime) << 32) |
                                             in.Value.ft.dwLowDateTime);
        return S_OK;
    case PT_I8: out.wide = in.Value.li.QuadPart; return S_OK;
    case PT_STRING8: {
        if (in.Value.lpszA == nullptr) return MAPI_E_INVALID_PARAMETER;
        std::size_t length = ::strnlen(in.Value.lpszA, limit + 1);
        if (length > limit) return MAPI_E_INVALID_PARAMETER;
        out.bytes.assign(in.Value.lpszA, length);
        return S_OK;
    }
    case PT_BINARY:
        if (in.Value.bin.cb > limit || (in.Value.bin.cb != 0 && in.Value.bin.lpb == nullptr)) {
            return MAPI_E_INVALID_PARAMETER;
        }
        if (in.Value.bin.cb != 0) out.bytes.assign(reinterpret_cast<const char*>(in.Value.bin.lpb), in.Value.bin.cb);
        return S_OK;
    case PT_NULL: return S_OK;
    default: return MAPI_E_INVALID_TYPE;
    }
}

bool validTagArray(const SPropTagArray* tags) {
    return tags != nullptr && tags->cValues >= 1 && tags->cValues <= kMaxTags;
}

bool writeRequested(const PropList& props, ULONG tag, SPropValue& out, void* root) {
    if (tag == PR_NULL) {
        std::memset(&out, 0, sizeof out);
        out.ulPropTag = PR_NULL;
        return true;
    }
    const Prop* p = findProp(props, tag);
    if (p != nullptr && (PROP_TYPE(tag) == PT_UNSPECIFIED || PROP_TYPE(tag) == PROP_TYPE(p->tag))) {
        return writeValue(*p, out, root);
    }
    return writeValue(errorProp(tag, MAPI_E_NOT_FOUND), out, root);
}

HRESULT getProps(const PropList& props, const SPropTagArray* tags, ULONG* count, LPSPropValue* values) {
    if (count == nullptr || values == nullptr) return MAPI_E_INVALID_PARAMETER;
    *count = 0;
    *values = nullptr;
    if (tags != nullptr && !validTagArray(tags)) return MAPI_E_INVALID_PARAMETER;
    std::size_t n = tags != nullptr ? tags->cValues : props.size();
    auto* out = static_cast<SPropValue*>(allocateBuffer(sizeof(SPropValue) * (n == 0 ? 1 : n)));
    if (out == nullptr) return MAPI_E_NOT_ENOUGH_MEMORY;
    bool errors = false;
    for (std::size_t i = 0; i < n; ++i) {
        bool ok = tags == nullptr ? writeValue(props[i], out[i], out) : writeRequested(props, tags->aulPropTag[i], out[i], out);
        if (!ok) {
            freeBuffer(out);
            return MAPI_E_NOT_ENOUGH_MEMORY;
        }
        errors = errors || PROP_TYPE(out[i].ulPropTag) == PT_ERROR;
    }
    *count = static_cast<ULONG>(n);
    *values = out;
    return errors ? MAPI_W_ERRORS_RETURNED : S_OK;
}

HRESULT propList(const PropList& props, LPSPropTagArray* out) {
    if (out == nullptr) return MAPI_E_INVALID_PARAMETER;
    *out = nullptr;
    auto* tags = static_cast<SPropTagArray*>(allocateBuffer(CbNewSPropTagArray(props.size() + 1)));
    if (tags == nullptr) return MAPI_E_NOT_ENOUGH_MEMORY;
    tags->cValues = static_cast<ULONG>(props.size());
    for (std::size_t i = 0; i < props.size(); ++i) tags->aulPropTag[i] = props[i].tag;
    *out = tags;
    return S_OK;
}

HRESULT copyOutBytes(std::string_view bytes, ULONG* size, LPENTRYID* out) {
    if (size == nullptr || out == nullptr) return MAPI_E_INVALID_PARAMETER;
    *size = 0;
    *out = nullptr;
    void* block = allocateBuffer(bytes.size());
    if (block == nullptr) return MAPI_E_NOT_ENOUGH_MEMORY;
    if (!bytes.empty()) std::memcpy(block, bytes.data(), bytes.size());
    *size = static_cast<ULONG>(bytes.size());
    *out = static_cast<LPENTRYID>(block);
    return S_OK;
}

}  // namespace vesk::mapi32::ex
