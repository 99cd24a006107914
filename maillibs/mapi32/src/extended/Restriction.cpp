#include "extended/Restriction.h"

#include <string>
#include <string_view>

namespace vesk::mapi32::ex {
namespace {

constexpr int kMaxDepth = 16;
constexpr int kMaxNodes = 1000;
constexpr std::size_t kMaxValue = 64 * 1024;

char folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string foldedText(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = folded(c);
    return out;
}

HRESULT copyNode(const SRestriction* in, Condition& out, int depth, int& nodes) {
    if (in == nullptr) return MAPI_E_INVALID_PARAMETER;
    if (depth > kMaxDepth || ++nodes > kMaxNodes) return MAPI_E_TOO_COMPLEX;
    out = Condition{};
    out.rt = in->rt;
    switch (in->rt) {
    case RES_AND:
    case RES_OR: {
        ULONG count = in->rt == RES_AND ? in->res.resAnd.cRes : in->res.resOr.cRes;
        const SRestriction* parts = in->rt == RES_AND ? in->res.resAnd.lpRes : in->res.resOr.lpRes;
        if (count > static_cast<ULONG>(kMaxNodes)) return MAPI_E_TOO_COMPLEX;
        if (count != 0 && parts == nullptr) return MAPI_E_INVALID_PARAMETER;
        out.parts.resize(count);
        for (ULONG i = 0; i < count; ++i) {
            HRESULT hr = copyNode(&parts[i], out.parts[i], depth + 1, nodes);
            if (hr != S_OK) return hr;
        }
        return S_OK;
    }
    case RES_NOT:
        out.parts.resize(1);
        return copyNode(in->res.resNot.lpRes, out.parts[0], depth + 1, nodes);
    case RES_PROPERTY:
    case RES_CONTENT: {
        const SPropValue* value = in->rt == RES_PROPERTY ? in->res.resProperty.lpProp : in->res.resContent.lpProp;
        if (value == nullptr) return MAPI_E_INVALID_PARAMETER;
        out.tag = in->rt == RES_PROPERTY ? in->res.resProperty.ulPropTag : in->res.resContent.ulPropTag;
        out.relop = in->rt == RES_PROPERTY ? in->res.resProperty.relop : RELOP_EQ;
        out.number = in->rt == RES_CONTENT ? in->res.resContent.ulFuzzyLevel : 0;
        if (out.relop > RELOP_NE) return MAPI_E_TOO_COMPLEX;
        HRESULT hr = readValue(*value, out.value, kMaxValue);
        if (hr == MAPI_E_INVALID_TYPE) return MAPI_E_TOO_COMPLEX;
        return hr;
    }
    case RES_COMPAREPROPS:
        out.relop = in->res.resCompareProps.relop;
        out.tag = in->res.resCompareProps.ulPropTag1;
        out.tag2 = in->res.resCompareProps.ulPropTag2;
        return out.relop > RELOP_NE ? MAPI_E_TOO_COMPLEX : S_OK;
    case RES_BITMASK:
        out.relop = in->res.resBitMask.relBMR;
        out.tag = in->res.resBitMask.ulPropTag;
        out.number = in->res.resBitMask.ulMask;
        return out.relop > BMR_NEZ ? MAPI_E_INVALID_PARAMETER : S_OK;
    case RES_SIZE:
        out.relop = in->res.resSize.relop;
        out.tag = in->res.resSize.ulPropTag;
        out.number = in->res.resSize.cb;
        return out.relop > RELOP_NE ? MAPI_E_TOO_COMPLEX : S_OK;
    case RES_EXIST: out.tag = in->res.resExist.ulPropTag; return S_OK;
    default: return MAPI_E_TOO_COMPLEX;
    }
}

bool holds(int order, ULONG relop) {
    switch (relop) {
    case RELOP_LT: return order < 0;
    case RELOP_LE: return order <= 0;
    case RELOP_GT: return order > 0;
    case RELOP_GE: return order >= 0;
    case RELOP_EQ: return order == 0;
    case RELOP_NE: return order != 0;
    default: return false;
    }
}

// The row's value for `tag`, when it has one of that type.
const Prop* valueOf(const PropList& row, ULONG tag) {
    const Prop* p = findProp(row, tag);
    if (p == nullptr || PROP_TYPE(p->tag) == PT_ERROR) return nullptr;
    if (PROP_TYPE(tag) != PT_UNSPECIFIED && PROP_TYPE(tag) != PROP_TYPE(p->tag)) return nullptr;
    return p;
}

bool contentMatches(const Prop& have, const Prop& want, ULONG fuzzy) {
    bool ignoreCase = (fuzzy & FL_IGNORECASE) != 0;
    std::string hay = ignoreCase ? foldedText(have.bytes) : have.bytes;
    std::string needle = ignoreCase ? foldedText(want.bytes) : want.bytes;
    switch (fuzzy & 0xFFFFu) {
    case FL_FULLSTRING: return hay == needle;
    case FL_SUBSTRING: return hay.find(needle) != std::string::npos;
    case FL_PREFIX: return hay.compare(0, needle.size(), needle) == 0;
    default: return false;
    }
}

std::size_t sizeOf(const Prop& p) {
    switch (PROP_TYPE(p.tag)) {
    case PT_STRING8: return p.bytes.size() + 1;
    case PT_BINARY: return p.bytes.size();
    case PT_I2:
    case PT_BOOLEAN: return 2;
    case PT_SYSTIME:
    case PT_I8: return 8;
    default: return 4;
    }
}

}  // namespace

HRESULT copyRestriction(const SRestriction& in, Condition& out) {
    int nodes = 0;
    return copyNode(&in, out, 0, nodes);
}

int compareValues(const Prop& a, const Prop& b) {
    switch (PROP_TYPE(a.tag)) {
    case PT_STRING8: {
        int c = foldedText(a.bytes).compare(foldedText(b.bytes));
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    case PT_BINARY: {
        int c = a.bytes.compare(b.bytes);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    case PT_SYSTIME:
    case PT_I8: return a.wide < b.wide ? -1 : a.wide > b.wide ? 1 : 0;
    case PT_BOOLEAN: return (a.number != 0) - (b.number != 0);
    default: return a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
    }
}

bool matches(const Condition& c, const PropList& row) {
    switch (c.rt) {
    case RES_AND:
        for (const Condition& part : c.parts) {
            if (!matches(part, row)) return false;
        }
        return true;
    case RES_OR:
        for (const Condition& part : c.parts) {
            if (matches(part, row)) return true;
        }
        return false;
    case RES_NOT: return !matches(c.parts.front(), row);
    case RES_PROPERTY: {
        const Prop* have = valueOf(row, c.tag);
        if (have == nullptr || PROP_TYPE(have->tag) != PROP_TYPE(c.value.tag)) return false;
        return holds(compareValues(*have, c.value), c.relop);
    }
    case RES_CONTENT: {
        const Prop* have = valueOf(row, c.tag);
        if (have == nullptr || PROP_TYPE(have->tag) != PROP_TYPE(c.value.tag)) return false;
        if (PROP_TYPE(have->tag) != PT_STRING8 && PROP_TYPE(have->tag) != PT_BINARY) return false;
        return contentMatches(*have, c.value, c.number);
    }
    case RES_COMPAREPROPS: {
        const Prop* a = valueOf(row, c.tag);
        const Prop* b = valueOf(row, c.tag2);
        if (a == nullptr || b == nullptr || PROP_TYPE(a->tag) != PROP_TYPE(b->tag)) return false;
        return holds(compareValues(*a, *b), c.relop);
    }
    case RES_BITMASK: {
        const Prop* have = valueOf(row, c.tag);
        if (have == nullptr || PROP_TYPE(have->tag) != PT_LONG) return false;
        bool zero = (static_cast<ULONG>(have->number) & c.number) == 0;
        return c.relop == BMR_EQZ ? zero : !zero;
    }
    case RES_SIZE: {
        const Prop* have = valueOf(row, c.tag);
        if (have == nullptr) return false;
        std::size_t size = sizeOf(*have);
        return holds(size < c.number ? -1 : size > c.number ? 1 : 0, c.relop);
    }
    case RES_EXIST: return valueOf(row, c.tag) != nullptr;
    default: return false;
    }
}

}  // namespace vesk::mapi32::ex
