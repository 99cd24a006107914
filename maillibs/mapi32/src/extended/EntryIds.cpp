#include "extended/EntryIds.h"

#include <cstring>

#include "common/Account.h"
#include "common/AddressBook.h"
#include "store/Store.h"

namespace vesk::mapi32::ex {
namespace {

// This provider's identifier: random bytes fixed once, so identifiers stay valid across runs.
constexpr unsigned char kProviderUid[16] = {0x5e, 0x1a, 0x9c, 0x3b, 0x77, 0x04, 0x4d, 0xe2,
                                            0xa8, 0x61, 0x0f, 0xc5, 0x92, 0x3e, 0xb0, 0x4a};
constexpr unsigned char kVersion = 1;
constexpr std::size_t kHeader = 4 + sizeof kProviderUid + 3;
constexpr ULONG kMaxEntryId = 4 + 16 + 3 + 4 * 256;

void appendText(std::string& out, std::string_view text) {
    // Every text is at most 255 bytes: account names, store identifiers, names, addresses.
    std::size_t n = text.size() > 255 ? 255 : text.size();
    out.push_back(static_cast<char>(n));
    out.append(text.substr(0, n));
}

bool readText(std::string_view& in, std::string& out) {
    if (in.empty()) return false;
    std::size_t n = static_cast<unsigned char>(in.front());
    in.remove_prefix(1);
    if (in.size() < n) return false;
    out.assign(in.substr(0, n));
    in.remove_prefix(n);
    return true;
}

std::string header(EntryKind kind, FolderRole role, std::string_view account) {
    std::string out(4, '\0');
    out.append(reinterpret_cast<const char*>(kProviderUid), sizeof kProviderUid);
    out.push_back(static_cast<char>(kVersion));
    out.push_back(static_cast<char>(kind));
    out.push_back(static_cast<char>(role));
    appendText(out, account);
    return out;
}

bool validRole(unsigned char role) {
    return role >= static_cast<unsigned char>(FolderRole::Root) && role <= static_cast<unsigned char>(FolderRole::Drafts);
}

}  // namespace

std::string storeEntryId(std::string_view account) { return header(EntryKind::Store, FolderRole::Root, account); }

std::string folderEntryId(std::string_view account, FolderRole role) {
    return header(EntryKind::Folder, role, account);
}

std::string messageEntryId(std::string_view account, FolderRole role, std::string_view messageId) {
    std::string out = header(EntryKind::Message, role, account);
    appendText(out, messageId);
    return out;
}

std::string statusEntryId(std::string_view account) { return header(EntryKind::Status, FolderRole::Root, account); }

std::string identityEntryId(std::string_view account) {
    return header(EntryKind::Identity, FolderRole::Root, account);
}

std::string mailUserEntryId(std::string_view account, std::string_view name, std::string_view address) {
    std::string out = header(EntryKind::MailUser, FolderRole::Root, account);
    appendText(out, name);
    appendText(out, address);
    return out;
}

std::optional<EntryRef> parseEntryId(const void* bytes, ULONG size) {
    if (bytes == nullptr || size < kHeader + 1 || size > kMaxEntryId) return std::nullopt;
    std::string_view in(static_cast<const char*>(bytes), size);
    if (in.substr(0, 4) != std::string_view("\0\0\0\0", 4)) return std::nullopt;
    if (std::memcmp(in.data() + 4, kProviderUid, sizeof kProviderUid) != 0) return std::nullopt;
    if (static_cast<unsigned char>(in[20]) != kVersion) return std::nullopt;
    auto kind = static_cast<unsigned char>(in[21]);
    auto role = static_cast<unsigned char>(in[22]);
    in.remove_prefix(kHeader);
    EntryRef ref;
    if (!validRole(role) || !readText(in, ref.account) || !isValidAccountName(ref.account)) return std::nullopt;
    ref.role = static_cast<FolderRole>(role);
    switch (kind) {
    case static_cast<unsigned char>(EntryKind::Store):
    case static_cast<unsigned char>(EntryKind::Status):
    case static_cast<unsigned char>(EntryKind::Identity):
        if (ref.role != FolderRole::Root) return std::nullopt;
        break;
    case static_cast<unsigned char>(EntryKind::Folder): break;
    case static_cast<unsigned char>(EntryKind::Message):
        if (ref.role == FolderRole::Root || !readText(in, ref.messageId) || !store::isValidId(ref.messageId)) {
            return std::nullopt;
        }
        break;
    case static_cast<unsigned char>(EntryKind::MailUser):
        if (ref.role != FolderRole::Root || !readText(in, ref.name) || !readText(in, ref.address) ||
            !isPlainAddress(ref.address)) {
            return std::nullopt;
        }
        break;
    default: return std::nullopt;
    }
    if (!in.empty()) return std::nullopt;
    ref.kind = static_cast<EntryKind>(kind);
    return ref;
}

}  // namespace vesk::mapi32::ex
