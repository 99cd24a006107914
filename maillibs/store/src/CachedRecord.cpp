#include "CachedRecord.h"

#include <cstdint>

namespace vesk::store::detail {
namespace {

constexpr std::uint32_t kMagic = 0x56524543;  // "VREC"

class Writer {
public:
    void number(std::uint64_t v) {
        while (v >= 0x80) {
            m_out.push_back(static_cast<char>((v & 0x7F) | 0x80));
            v >>= 7;
        }
        m_out.push_back(static_cast<char>(v));
    }
    void signedNumber(std::int64_t v) {
        // Zig-zag, so dates before 1970 stay short too.
        number((static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63));
    }
    void text(std::string_view s) {
        number(s.size());
        m_out.append(s);
    }
    void address(const Address& a) {
        text(a.name);
        text(a.address);
    }
    void addresses(const std::vector<Address>& list) {
        number(list.size());
        for (const Address& a : list) address(a);
    }
    void reserve(std::size_t bytes) { m_out.reserve(bytes); }
    std::string take() { return std::move(m_out); }

private:
    std::string m_out;
};

class Reader {
public:
    explicit Reader(std::string_view in) : m_in(in) {}
    bool number(std::uint64_t& v) {
        v = 0;
        for (unsigned shift = 0; shift < 64; shift += 7) {
            if (m_in.empty()) return false;
            auto byte = static_cast<unsigned char>(m_in.front());
            m_in.remove_prefix(1);
            v |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
            if ((byte & 0x80) == 0) return true;
        }
        return false;
    }
    bool signedNumber(std::int64_t& v) {
        std::uint64_t u;
        if (!number(u)) return false;
        v = static_cast<std::int64_t>(u >> 1) ^ -static_cast<std::int64_t>(u & 1);
        return true;
    }
    bool text(std::string& s) {
        std::uint64_t n;
        if (!number(n) || n > m_in.size()) return false;
        s.assign(m_in.substr(0, n));
        m_in.remove_prefix(n);
        return true;
    }
    bool address(Address& a) { return text(a.name) && text(a.address); }
    bool addresses(std::vector<Address>& list) {
        std::uint64_t n;
        // Every address takes at least two bytes: a count beyond that is damage.
        if (!number(n) || n > m_in.size() / 2) return false;
        list.resize(n);
        for (Address& a : list) {
            if (!address(a)) return false;
        }
        return true;
    }
    bool done() const { return m_in.empty(); }

private:
    std::string_view m_in;
};

// An upper bound of the encoded size, so the record is written into one allocation: growing
// it step by step copied the body several times over.
std::size_t encodedSizeBound(const Message& m) {
    constexpr std::size_t kPerText = 10;  // the longest length prefix
    std::size_t bytes = 64 + m.subject.size() + m.messageId.size() + m.body.size() + 5 * kPerText;
    auto address = [&](const Address& a) { bytes += a.name.size() + a.address.size() + 2 * kPerText; };
    address(m.from);
    for (const auto* list : {&m.to, &m.cc, &m.bcc}) {
        bytes += kPerText;
        for (const Address& a : *list) address(a);
    }
    for (const Attachment& a : m.attachments) bytes += a.name.size() + a.contentType.size() + 2 * kPerText;
    return bytes;
}

}  // namespace

std::string encodeRecord(const ParsedRecord& record) {
    const Message& m = record.message;
    Writer w;
    w.reserve(encodedSizeBound(m));
    w.number(kMagic);
    w.number(kRecordVersion);
    w.number(record.hasBody ? 1 : 0);
    w.address(m.from);
    w.addresses(m.to);
    w.addresses(m.cc);
    w.addresses(m.bcc);
    w.text(m.subject);
    w.signedNumber(m.sent);
    w.signedNumber(record.receivedHeader);
    w.number(static_cast<std::uint64_t>(m.priority));
    w.number((m.readReceipt ? 1U : 0U) | (m.deliveryReport ? 2U : 0U));
    w.text(m.messageId);
    w.text(m.body);
    w.number(m.attachments.size());
    for (const Attachment& a : m.attachments) {
        w.text(a.name);
        w.text(a.contentType);
    }
    return w.take();
}

bool decodeRecord(std::string_view bytes, ParsedRecord& out) {
    Reader r(bytes);
    std::uint64_t magic, version, hasBody, priority, bits, count;
    std::int64_t sent, received;
    Message& m = out.message;
    if (!r.number(magic) || magic != kMagic || !r.number(version) || version != kRecordVersion) return false;
    if (!r.number(hasBody) || hasBody > 1) return false;
    if (!r.address(m.from) || !r.addresses(m.to) || !r.addresses(m.cc) || !r.addresses(m.bcc)) return false;
    if (!r.text(m.subject) || !r.signedNumber(sent) || !r.signedNumber(received)) return false;
    if (!r.number(priority) || priority > static_cast<std::uint64_t>(Priority::Low)) return false;
    if (!r.number(bits) || bits > 3 || !r.text(m.messageId) || !r.text(m.body)) return false;
    if (!r.number(count) || count > bytes.size() / 2) return false;
    m.attachments.resize(count);
    for (Attachment& a : m.attachments) {
        if (!r.text(a.name) || !r.text(a.contentType)) return false;
    }
    if (!r.done()) return false;
    m.sent = static_cast<std::time_t>(sent);
    m.priority = static_cast<Priority>(priority);
    m.readReceipt = (bits & 1U) != 0;
    m.deliveryReport = (bits & 2U) != 0;
    out.receivedHeader = static_cast<std::time_t>(received);
    out.hasBody = hasBody == 1;
    return true;
}

}  // namespace vesk::store::detail
