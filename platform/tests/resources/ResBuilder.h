// Builders for the byte layouts of resource files, so tests can hand the decoders exactly the
// bytes they mean, including wrong ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vesk::res::test {

/// Little-endian bytes appended field by field.
class Bytes {
public:
    Bytes& u8(uint8_t v) {
        data_.push_back(v);
        return *this;
    }
    Bytes& u16(uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
    Bytes& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& i16(int16_t v) { return u16(static_cast<uint16_t>(v)); }
    /// UTF-16 text with its NUL.
    Bytes& sz(const std::u16string& text) {
        for (const char16_t c : text) u16(c);
        return u16(0);
    }
    /// A number-or-text field holding a number.
    Bytes& ord(uint16_t id) { return u16(0xFFFF).u16(id); }
    Bytes& align4() {
        while (data_.size() % 4 != 0) u8(0);
        return *this;
    }
    Bytes& raw(const std::vector<unsigned char>& bytes) {
        data_.insert(data_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    size_t size() const { return data_.size(); }
    const std::vector<unsigned char>& vec() const { return data_; }
    std::vector<unsigned char>& vec() { return data_; }

private:
    std::vector<unsigned char> data_;
};

/// A .res file: the leading empty entry, then one entry per add().
class ResBuilder {
public:
    ResBuilder() { addEntry(Bytes().ord(0), Bytes().ord(0), {}, 0); }

    /// Adds a numbered resource of a numbered type.
    ResBuilder& add(uint16_t type, uint16_t id, const std::vector<unsigned char>& data, uint16_t language = 0x409) {
        return addEntry(Bytes().ord(type), Bytes().ord(id), data, language);
    }
    /// Adds a resource with the type and name fields given as raw bytes (text names).
    ResBuilder& addEntry(const Bytes& type, const Bytes& name, const std::vector<unsigned char>& data,
                         uint16_t language) {
        Bytes header;
        header.raw(type.vec()).raw(name.vec());
        while ((8 + header.size()) % 4 != 0) header.u8(0);
        header.u32(0).u16(0x1030).u16(language).u32(0).u32(0);
        out_.u32(static_cast<uint32_t>(data.size())).u32(static_cast<uint32_t>(8 + header.size()));
        out_.raw(header.vec()).raw(data).align4();
        return *this;
    }
    const std::vector<unsigned char>& bytes() const { return out_.vec(); }

private:
    Bytes out_;
};

/// A string block: sixteen counted UTF-16 strings, empty where `texts` has no entry.
inline std::vector<unsigned char> stringBlock(const std::vector<std::u16string>& texts) {
    Bytes b;
    for (size_t i = 0; i < 16; ++i) {
        const std::u16string text = i < texts.size() ? texts[i] : u"";
        b.u16(static_cast<uint16_t>(text.size()));
        for (const char16_t c : text) b.u16(c);
    }
    return b.vec();
}

}  // namespace vesk::res::test
