#include "common/Attributes.h"

#include <algorithm>
#include <cstring>

namespace vesk::vim32 {

vimStatus checkDescriptor(const vimAttrDesc& desc, AttrType type, std::size_t structSize) {
    if (desc.Buffer == nullptr) return VIMSTS_ALL_PARAMS_REQUIRED;
    switch (type) {
        case AttrType::Text:
            return desc.Size == 0 ? VIMSTS_BUF_TOO_SMALL : VIMSTS_SUCCESS;
        case AttrType::Number:
            return (desc.Size == 2 || desc.Size == 4) ? VIMSTS_SUCCESS : VIMSTS_BAD_PARAM;
        case AttrType::Bytes:
            return desc.Size < structSize ? VIMSTS_BUF_TOO_SMALL : VIMSTS_SUCCESS;
    }
    return VIMSTS_BAD_PARAM;
}

unsigned char* elementOf(const vimAttrDesc& desc, std::size_t index) {
    return static_cast<unsigned char*>(desc.Buffer) + index * desc.Size;
}

void copyText(char* buffer, std::size_t size, std::string_view text) {
    if (size == 0) return;
    std::size_t n = std::min(size - 1, text.size());
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

void putText(const vimAttrDesc& desc, std::size_t index, std::string_view text) {
    copyText(reinterpret_cast<char*>(elementOf(desc, index)), desc.Size, text);
}

void putNumber(const vimAttrDesc& desc, std::size_t index, std::uint32_t value) {
    unsigned char* at = elementOf(desc, index);
    for (std::size_t i = 0; i < desc.Size; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

void putBytes(const vimAttrDesc& desc, std::size_t index, const void* bytes, std::size_t size) {
    unsigned char* at = elementOf(desc, index);
    std::memcpy(at, bytes, size);
    std::memset(at + size, 0, desc.Size - size);
}

bool readNumber(const void* data, std::size_t size, std::uint32_t& value) {
    if (data == nullptr || (size != 2 && size != 4)) return false;
    const auto* bytes = static_cast<const unsigned char*>(data);
    value = 0;
    for (std::size_t i = 0; i < size; ++i) value |= std::uint32_t(bytes[i]) << (8 * i);
    return true;
}

vimDate toVimDate(std::time_t when) {
    vimDate date{VIMSEL_LOCAL, VIM_UNKNOWN_DATE, VIM_UNKNOWN_TIME};
    std::tm local{};
    if (when == 0 || ::localtime_r(&when, &local) == nullptr) return date;
    date.Date = (vimDWord(local.tm_year + 1900) << 16) | (vimDWord(local.tm_mon + 1) << 8) | vimDWord(local.tm_mday);
    date.Time = (vimDWord(local.tm_hour) << 24) | (vimDWord(local.tm_min) << 16) | (vimDWord(local.tm_sec) << 8);
    return date;
}

vimRecipient makeRecipient(vimSelector type, std::string_view displayName, std::string_view address) {
    vimRecipient r{};
    r.Type = type;
    r.DName.Type = displayName.empty() ? 0 : VIMSEL_NATIVE;
    copyText(r.DName.Value, sizeof r.DName.Value, displayName);
    r.Address.Type = VIMSEL_NATIVE;
    copyText(r.Address.Value, sizeof r.Address.Value, address);
    return r;
}

}  // namespace vesk::vim32
