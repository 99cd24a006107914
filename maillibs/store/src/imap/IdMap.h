// The names the store keeps for messages whose UID changed under it: a message it moved to
// another mailbox or whose header it rewrote (appended anew) keeps the identifier callers
// know. Kept per mailbox with the UIDVALIDITY it belongs to, in "<state>/vesk-imap-ids", one
// line "<mailbox>\t<uidvalidity>\t<uid>\t<identifier>"; a mailbox's names are dropped the
// moment its UIDVALIDITY is seen to change, since its UIDs then mean other messages.
// The same file keeps the messages the store removed on a server without UID EXPUNGE (they
// stay there marked \Deleted until some client expunges): "/" in place of the identifier.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace vesk::store::detail {

class IdMap {
public:
    /// Reads the map of state folder `stateDir` (empty when there is none yet).
    explicit IdMap(std::string stateDir);

    /// The identifier of `uid` in `mailbox` (of `validity`): the kept name, else "V.U".
    std::string idOf(const std::string& mailbox, std::uint32_t validity, std::uint32_t uid) const;
    /// The UID identifier `id` names in `mailbox` of `validity`; nullopt when none.
    std::optional<std::uint32_t> uidOf(const std::string& mailbox, std::uint32_t validity, std::string_view id) const;
    /// `uid` of `mailbox` (of `validity`) is now called `id` (nothing kept when that is its own name).
    void name(const std::string& mailbox, std::uint32_t validity, std::uint32_t uid, const std::string& id);
    /// Forgets the name of `uid` in `mailbox`.
    void forget(const std::string& mailbox, std::uint32_t uid);
    /// `uid` of `mailbox` was removed but could not be expunged: no longer listed.
    void hide(const std::string& mailbox, std::uint32_t validity, std::uint32_t uid);
    bool hidden(const std::string& mailbox, std::uint32_t validity, std::uint32_t uid) const;
    /// `mailbox` now has `validity`: names kept under another one are dropped.
    void validity(const std::string& mailbox, std::uint32_t validity);

private:
    struct Box {
        std::uint32_t validity = 0;
        std::map<std::uint32_t, std::string> names;
        std::map<std::string, std::uint32_t, std::less<>> uids;
        std::set<std::uint32_t> hidden;
    };
    void save() const;

    std::string m_path;
    std::map<std::string, Box, std::less<>> m_boxes;
};

/// "V.U".
std::string nativeId(std::uint32_t validity, std::uint32_t uid);
/// The two numbers of a "V.U" identifier; nullopt for anything else.
std::optional<std::pair<std::uint32_t, std::uint32_t>> parseNativeId(std::string_view id);

}  // namespace vesk::store::detail
