// A little-endian reader over a bounded byte range, used by every resource decoder.
//
// A read that would pass the end of the range fails, and the failure sticks: every later
// read yields zero or empty and `ok()` stays false. Decoders read a whole structure and test
// `ok()` once, so no read can ever leave the range, however the bytes lie about sizes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Codepage.h"
#include "resources/ResourceName.h"

namespace vesk::res {

class ByteReader {
public:
    ByteReader(const unsigned char* data, size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    size_t offset() const { return offset_; }
    size_t remaining() const { return ok_ ? size_ - offset_ : 0; }

    uint8_t u8() { return static_cast<uint8_t>(take(1)); }
    uint16_t u16() { return static_cast<uint16_t>(take(2)); }
    uint32_t u32() { return static_cast<uint32_t>(take(4)); }
    int16_t i16() { return static_cast<int16_t>(u16()); }
    int32_t i32() { return static_cast<int32_t>(u32()); }

    /// Skips `count` bytes.
    void skip(size_t count) {
        if (!ensure(count)) return;
        offset_ += count;
    }

    /// Moves to the next offset that is a multiple of 4 from the start of the range
    /// (resource headers, dialog items). Padding missing at the very end is tolerated.
    void alignTo4() {
        const size_t aligned = (offset_ + 3) & ~size_t{3};
        offset_ = aligned <= size_ ? aligned : size_;
    }

    /// Copies `count` bytes.
    std::vector<unsigned char> bytes(size_t count) {
        if (!ensure(count)) return {};
        std::vector<unsigned char> out(data_ + offset_, data_ + offset_ + count);
        offset_ += count;
        return out;
    }

    /// A NUL-terminated UTF-16 text (the NUL is consumed, not returned).
    std::u16string utf16z() {
        std::u16string out;
        for (;;) {
            const uint16_t unit = u16();
            if (!ok_ || unit == 0) return out;
            out += static_cast<char16_t>(unit);
        }
    }

    /// `count` UTF-16 code units without terminator.
    std::u16string utf16(size_t count) {
        std::u16string out;
        if (!ensure(count * 2)) return out;
        out.reserve(count);
        for (size_t i = 0; i < count; ++i) out += static_cast<char16_t>(u16());
        return out;
    }

    /// A number-or-text field: 0x0000 for none, 0xFFFF followed by a 16-bit number, or a
    /// NUL-terminated UTF-16 text (converted to Windows-1252).
    NameOrOrdinal nameOrOrdinal() {
        NameOrOrdinal out;
        const size_t start = offset_;
        const uint16_t first = u16();
        if (!ok_ || first == 0) return out;
        if (first == 0xFFFF) {
            out.isOrdinal = true;
            out.ordinal = u16();
            return out;
        }
        offset_ = start;
        out.name = cp::utf16ToCp1252(utf16z());
        return out;
    }

private:
    bool ensure(size_t count) {
        if (!ok_ || count > size_ - offset_) {
            ok_ = false;
            return false;
        }
        return true;
    }

    uint64_t take(size_t count) {
        if (!ensure(count)) return 0;
        uint64_t value = 0;
        for (size_t i = 0; i < count; ++i) value |= uint64_t{data_[offset_ + i]} << (8 * i);
        offset_ += count;
        return value;
    }

    const unsigned char* data_;
    size_t size_;
    size_t offset_ = 0;
    bool ok_ = true;
};

}  // namespace vesk::res
