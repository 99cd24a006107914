#include "handheld/Fingerprint.h"

#include <cstring>

namespace conduit {

namespace {

constexpr std::uint64_t kMul1 = 0x87C37B91114253D5ull;
constexpr std::uint64_t kMul2 = 0x4CF5AD432745937Full;

constexpr std::uint64_t rotl(std::uint64_t x, int r) { return (x << r) | (x >> (64 - r)); }

// The final avalanche of a 64-bit word: every input bit reaches every output bit.
constexpr std::uint64_t avalanche(std::uint64_t k) {
    k ^= k >> 33;
    k *= 0xFF51AFD7ED558CCDull;
    k ^= k >> 33;
    k *= 0xC4CEB9FE1A85EC53ull;
    k ^= k >> 33;
    return k;
}

std::uint64_t mixIn(std::uint64_t state, std::uint64_t word) {
    word *= kMul1;
    word = rotl(word, 31);
    word *= kMul2;
    state ^= word;
    return rotl(state, 27) * 5 + 0x52DCE729;
}

}  // namespace

Hasher& Hasher::add(std::uint64_t value) {
    m_state = mixIn(m_state, value);
    return *this;
}

Hasher& Hasher::add(std::string_view bytes) {
    m_state = mixIn(m_state, bytes.size());
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    // Eight bytes a step: hashing a mailbox's texts costs less than reading them from disk.
    for (; left >= 8; p += 8, left -= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        m_state = mixIn(m_state, word);
    }
    if (left) {
        std::uint64_t word = 0;
        std::memcpy(&word, p, left);
        m_state = mixIn(m_state, word);
    }
    return *this;
}

std::uint64_t Hasher::value() const { return avalanche(m_state); }

std::uint64_t textsHash(std::string_view to, std::string_view cc, std::string_view bcc, std::string_view body,
                        std::string_view attachments) {
    return Hasher().add(to).add(cc).add(bcc).add(body).add(attachments).value();
}

std::uint64_t textsHash(const RecordFields& r) { return textsHash(r.to, r.cc, r.bcc, r.body, r.attachments); }

Fingerprint fingerprintOf(const HandheldMessage& m) {
    const RecordFields& r = m.record;
    Hasher fields;
    for (std::uint64_t value : {std::uint64_t{m.read}, static_cast<std::uint64_t>(m.priority), std::uint64_t{m.deleted},
                                std::uint64_t{m.readReceipt}, std::uint64_t{m.deliveryReport},
                                std::uint64_t{m.desktopRead}, static_cast<std::uint64_t>(m.desktopPriority),
                                std::uint64_t{m.unsure}, std::uint64_t{r.extraWord},
                                static_cast<std::uint64_t>(static_cast<std::uint32_t>(r.timeSent)),
                                static_cast<std::uint64_t>(static_cast<std::uint32_t>(r.timeReceived)),
                                std::uint64_t{r.size}, std::uint64_t{r.extraLong}, std::uint64_t{r.status},
                                std::uint64_t{r.flags}}) {
        fields.add(value);
    }
    for (const std::string* text : {&r.extraId1, &r.hostMsgId, &r.extraId2, &r.from, &r.extraText1, &r.extraText2,
                                    &r.subject}) {
        fields.add(*text);
    }
    return Fingerprint{fields.value(), m.textsReleased ? m.releasedTextsHash : textsHash(r)};
}

void releaseTexts(HandheldMessage& m) {
    if (m.textsReleased) return;
    m.releasedTextsHash = textsHash(m.record);
    m.textsReleased = true;
    // Swapped with an empty string: clearing, or assigning an empty one, keeps the capacity.
    for (std::string* text : {&m.record.to, &m.record.cc, &m.record.bcc, &m.record.body, &m.record.attachments}) {
        std::string().swap(*text);
    }
}

}  // namespace conduit
