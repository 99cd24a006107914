// Telling whether a handheld message changed without keeping a second copy of it: two 64-bit
// hashes per message, one over what identifies and flags it, one over its texts (recipients,
// body, attachment list: the bulk of a message). A store that remembers these per row can
// tell what a commit must write while holding none of the texts twice.
//
// The hashes guard against accidents, not against someone forging a collision: a message whose
// change hid behind one would only miss being rewritten on the handheld until it changes again.
#pragma once

#include <cstdint>
#include <string_view>

#include "handheld/Handheld.h"

namespace conduit {

/// What a message's row looks like, in 128 bits.
struct Fingerprint {
    std::uint64_t fields = 0;  ///< identifiers, numbers, flags, sender, subject, handheld state
    std::uint64_t texts = 0;   ///< recipients, body and attachment list

    bool operator==(const Fingerprint&) const = default;
};

/// A 64-bit hash built up from values in order; each text counts with its length, so moving
/// bytes from one text into the next changes the hash.
class Hasher {
public:
    Hasher& add(std::uint64_t value);
    Hasher& add(std::string_view bytes);
    std::uint64_t value() const;

private:
    std::uint64_t m_state = 0x9E3779B97F4A7C15ull;
};

/// The hash of a record's texts: to, cc, bcc, body and attachments, in that order.
std::uint64_t textsHash(std::string_view to, std::string_view cc, std::string_view bcc, std::string_view body,
                        std::string_view attachments);
std::uint64_t textsHash(const RecordFields& record);

/// The fingerprint of everything a row holds for `message` but its number; for a message
/// whose texts were released, their hash as it was kept.
Fingerprint fingerprintOf(const HandheldMessage& message);

/// Drops the texts of `message` from memory, keeping their hash, so it is a light row whose
/// texts are in the database (see HandheldMessage::textsReleased). Does nothing when they
/// already are.
void releaseTexts(HandheldMessage& message);

}  // namespace conduit
