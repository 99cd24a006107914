#include "VimRecords.h"

#include <cstring>
#include <ctime>
#include <limits>

#include "platform/LocalTime.h"

namespace {

// Kinds and the name type of the recipient records written.
constexpr vimSelector kKindFound = VIMSEL_ENTITY;               // 26
constexpr vimSelector kKindWritten = VIMSEL_UNKNOWN_RECIP_TYPE;  // 101
constexpr vimSelector kNative = VIMSEL_NATIVE;                   // 55

template <size_t N>
std::string fieldText(const char (&field)[N]) {
    return std::string(field, ::strnlen(field, N));
}

template <size_t N>
void copyField(char (&field)[N], const std::string& text) {
    const size_t length = text.size() < N - 1 ? text.size() : N - 1;
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

unsigned clampTo(unsigned value, unsigned low, unsigned high) {
    return value < low ? low : value > high ? high : value;
}

char lowerOf(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

vimAttrDesc VimDescriptor(vimSelector attribute, size_t elementSize, void* buffer) {
    vimAttrDesc d{};
    d.Attr = attribute;
    d.Size = static_cast<vimDWord>(elementSize);
    d.Buffer = buffer;
    return d;
}

bool VimSameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (lowerOf(a[i]) != lowerOf(b[i])) return false;
    }
    return true;
}

std::string VimLowerCase(std::string text) {
    for (char& c : text) c = lowerOf(c);
    return text;
}

std::string VimDisplayText(const vimRecipient& record) {
    const std::string name = fieldText(record.DName.Value);
    const std::string address = fieldText(record.Address.Value);
    if (name.empty()) return address;
    return address + " (" + name + ")";
}

uint32_t VimPriorityToFlags(vimWord vimPriority) {
    switch (vimPriority) {
        case VIM_HIGH_PRIORITY: return 0;
        case VIM_LOW_PRIORITY: return 2;
        default: return 1;
    }
}

vimWord VimPriorityFromHandheld(int priority) {
    switch (priority) {
        case 0: return VIM_HIGH_PRIORITY;
        case 2: return VIM_LOW_PRIORITY;
        default: return VIM_NORMAL_PRIORITY;
    }
}

int32_t VimDateToTime(const vimDate& date) {
    if (date.Date == VIM_UNKNOWN_DATE) return 0;
    std::tm local{};
    local.tm_year = static_cast<int>(clampTo(date.Date >> 16, 1970, 2038)) - 1900;
    local.tm_mon = static_cast<int>(clampTo((date.Date >> 8) & 0xFF, 1, 12)) - 1;
    local.tm_mday = static_cast<int>(clampTo(date.Date & 0xFF, 1, 31));
    if (date.Time != VIM_UNKNOWN_TIME) {
        local.tm_hour = static_cast<int>(date.Time >> 24);
        local.tm_min = static_cast<int>((date.Time >> 16) & 0xFF);
        local.tm_sec = static_cast<int>((date.Time >> 8) & 0xFF);
    }
    // The record does not say whether summer time applies; the local rules for the date do.
    local.tm_isdst = -1;
    const std::time_t seconds = vesk::calendar::fromLocalFields(local);
    constexpr std::time_t kLatest = std::numeric_limits<int32_t>::max();
    // 1970-01-01 east of Greenwich, or late 2038, lie outside what the record's 32 bits hold:
    // the nearest bound is the closest time the handheld can show.
    if (seconds < 0) return 0;
    if (seconds > kLatest) return static_cast<int32_t>(kLatest);
    return static_cast<int32_t>(seconds);
}

std::string VimItemName(const vimItemDesc& item) { return fieldText(item.Name); }

vimRecipient VimFoundRecipient(const std::string& address) {
    vimRecipient record;
    std::memset(&record, 0, sizeof record);
    record.Type = kKindFound;
    record.Address.Type = kNative;
    copyField(record.Address.Value, address);
    return record;
}

vimRecipient VimWrittenRecipient(const std::string& name, const std::string& address) {
    vimRecipient record;
    std::memset(&record, 0, sizeof record);
    record.Type = kKindWritten;
    record.DName.Type = kNative;
    copyField(record.DName.Value, name);
    record.Address.Type = kNative;
    copyField(record.Address.Value, address);
    return record;
}
