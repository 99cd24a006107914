// The robustness cases too large to keep as files: generated on the fly, the same bytes every
// time. Header-only, so the end-to-end tests of the plug-ins can put them in their Maildirs too.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vesk::store::test {

/// A text body whose second line is `length` bytes long, plus a header line of `length / 2`.
inline std::string megabyteLineMessage(std::size_t length = 2 * 1024 * 1024) {
    std::string m = "From: ann@example.org\nSubject: Long lines\nX-Long: ";
    m.append(length / 2, 'h');
    m += "\nContent-Type: text/plain\n\nfirst line\n";
    for (std::size_t i = 0; i < length; ++i) m += static_cast<char>('a' + i % 26);
    m += "\nlast line\n";
    return m;
}

/// multipart/mixed with `parts` short text/plain parts "part N" (every tenth one an attachment
/// "fileN.bin").
inline std::string manyPartsMessage(int parts = 5000) {
    std::string m = "From: ann@example.org\nSubject: Many parts\nMIME-Version: 1.0\n"
                    "Content-Type: multipart/mixed; boundary=\"many\"\n\n";
    for (int i = 1; i <= parts; ++i) {
        m += "--many\n";
        if (i % 10 == 0)
            m += "Content-Type: application/octet-stream\nContent-Disposition: attachment; filename=\"file" +
                 std::to_string(i) + ".bin\"\n\nbinary " + std::to_string(i) + "\n";
        else
            m += "Content-Type: text/plain\n\npart " + std::to_string(i) + "\n";
    }
    m += "--many--\n";
    return m;
}

/// `depth` multiparts nested one in another, each with its own boundary, the innermost
/// holding the text "innermost text".
inline std::string deeplyNestedMessage(int depth = 20000) {
    std::string m = "From: ann@example.org\nSubject: Deep nesting\nMIME-Version: 1.0\n";
    for (int i = 0; i < depth; ++i) {
        m += "Content-Type: multipart/mixed; boundary=\"n" + std::to_string(i) + "\"\n\n--n" + std::to_string(i) + "\n";
    }
    m += "Content-Type: text/plain\n\ninnermost text\n";
    for (int i = depth - 1; i >= 0; --i) m += "--n" + std::to_string(i) + "--\n";
    return m;
}

/// An address field of `depth` groups nested one in another around one address (groups do
/// not nest in mail; a recursive reader runs out of stack).
inline std::string nestedGroupsMessage(int depth = 30000) {
    std::string m = "From: ann@example.org\nSubject: Nested groups\nTo: ";
    for (int i = 0; i < depth; ++i) m += "g:";
    m += "bob@example.org";
    m.append(static_cast<std::size_t>(depth), ';');
    m += "\n\nText under a To field of groups in groups.\n";
    return m;
}

/// A subject of `count` encoded-word starts that nothing ends.
inline std::string unendedEncodedWordsMessage(int count = 20000) {
    std::string m = "From: ann@example.org\nSubject: ";
    for (int i = 0; i < count; ++i) m += "=?utf-8?q?a";
    m += "\n\nText under a subject of encoded words without end.\n";
    return m;
}

/// Every generated case by name.
inline std::vector<std::pair<std::string, std::string>> generatedMessages() {
    return {{"megabyte-lines", megabyteLineMessage()},
            {"many-parts", manyPartsMessage()},
            {"deep-nesting", deeplyNestedMessage()},
            {"nested-groups", nestedGroupsMessage()},
            {"unended-encoded-words", unendedEncodedWordsMessage()}};
}

}  // namespace vesk::store::test
