// Property values as the objects keep them (owned C++ values), and their conversion to and
// from the caller's SPropValue arrays, which live in MAPIAllocateBuffer chains.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "mapi32/mapix.h"

namespace vesk::mapi32::ex {

/// Largest string or binary value GetProps and QueryRows hand out whole (terminator
/// included). A larger one comes back as PT_ERROR with MAPI_E_NOT_ENOUGH_MEMORY; its full
/// value is read with OpenProperty as a stream.
inline constexpr std::size_t kMaxInlineValue = 32 * 1024;

/// One property. The member in use follows PROP_TYPE(tag): PT_LONG, PT_I2, PT_BOOLEAN and
/// PT_ERROR use `number`; PT_SYSTIME and PT_I8 use `wide` (a file time counts 100 ns since
/// 1601); PT_STRING8 and PT_BINARY use `bytes`.
struct Prop {
    ULONG tag = PR_NULL;
    LONG number = 0;
    std::int64_t wide = 0;
    std::string bytes;
};

using PropList = std::vector<Prop>;

Prop longProp(ULONG tag, LONG value);
Prop boolProp(ULONG tag, bool value);
Prop textProp(ULONG tag, std::string_view text);
Prop binaryProp(ULONG tag, std::string_view bytes);
Prop timeProp(ULONG tag, std::time_t when);
Prop errorProp(ULONG tag, SCODE why);

/// The property of `list` with the identifier of `tag` (any type), or null.
const Prop* findProp(const PropList& list, ULONG tag);
/// Replaces the property with `prop`'s identifier, or appends it.
void putProp(PropList& list, Prop prop);
/// Removes the property with the identifier of `tag`.
void dropProp(PropList& list, ULONG tag);
/// The text of a PT_STRING8 property, or "" when absent or of another type.
std::string textOf(const PropList& list, ULONG tag);
/// The number of a PT_LONG property, or `fallback`.
LONG longOf(const PropList& list, ULONG tag, LONG fallback);
/// A PT_BOOLEAN property's truth, or `fallback`.
bool boolOf(const PropList& list, ULONG tag, bool fallback);

/// Seconds since 1970 to a file time, and back.
std::int64_t fileTimeOf(std::time_t when);
std::time_t timeOfFileTime(std::int64_t fileTime);

/// Writes `prop` into `out`, allocating strings and binaries on the chain of `root`. A value
/// larger than `inlineLimit` becomes PT_ERROR / MAPI_E_NOT_ENOUGH_MEMORY. False when memory
/// runs out.
bool writeValue(const Prop& prop, SPropValue& out, void* root, std::size_t inlineLimit = kMaxInlineValue);

/// Reads a caller's value. MAPI_E_INVALID_TYPE for types not kept here (multi-valued ones,
/// objects, floating point), MAPI_E_INVALID_PARAMETER for a string or binary that is null
/// where it must not be or longer than `limit`.
HRESULT readValue(const SPropValue& in, Prop& out, std::size_t limit);

/// The value for `tag` of `props` as GetProps and QueryRows give it: PR_NULL as itself, a
/// property of another type or none as PT_ERROR / MAPI_E_NOT_FOUND. False when memory runs out.
bool writeRequested(const PropList& props, ULONG tag, SPropValue& out, void* root);

/// GetProps over `props`: the values of `tags` (null: every property) in that order, a
/// missing one as PT_ERROR / MAPI_E_NOT_FOUND, PR_NULL as itself. One chain for the caller.
/// S_OK, MAPI_W_ERRORS_RETURNED, MAPI_E_INVALID_PARAMETER or MAPI_E_NOT_ENOUGH_MEMORY.
HRESULT getProps(const PropList& props, const SPropTagArray* tags, ULONG* count, LPSPropValue* values);

/// A tag array of the identifiers in `props`, for GetPropList (one chain).
HRESULT propList(const PropList& props, LPSPropTagArray* out);

/// A new MAPIAllocateBuffer block of `bytes`, copied; used for entry identifiers handed out.
HRESULT copyOutBytes(std::string_view bytes, ULONG* size, LPENTRYID* out);

/// True when a caller's tag array can be read: not null, a count from 1 to 4096.
bool validTagArray(const SPropTagArray* tags);

}  // namespace vesk::mapi32::ex
