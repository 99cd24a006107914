// A post office on disk (see maillibs/vim32/POSTOFFICE.md): its name, its Internet gateway and
// its users, read from "postoffice.ini" in the post office's folder. Texts are Windows-1252 as
// the file holds them; paths are file-system paths.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/Mailbox.h"

namespace vesk::vim32 {

/// The file in a post office folder that makes it one.
inline constexpr const char* kPostOfficeFile = "postoffice.ini";
/// Its section of post-office-wide settings, and the prefix of every user's section.
inline constexpr const char* kPostOfficeSection = "Post Office";
inline constexpr const char* kUserSectionPrefix = "User ";

/// One user of the post office.
struct User {
    std::string name;          ///< the user's name in the post office (1-64 characters)
    std::string passwordHash;  ///< a salted hash in crypt(3) form, never the password
    /// The user's mailbox: a Maildir (absolute path) or an IMAP mailbox; `mailbox.name()` is
    /// what messages about it show.
    store::MailboxPlace mailbox;
    std::string displayName;   ///< may be empty
    std::string address;       ///< the user's Internet address, may be empty
};

struct PostOffice {
    std::string folder;   ///< absolute path of the post office folder
    std::string name;     ///< the post office's name
    std::string gateway;  ///< the name of its Internet gateway; empty: no Internet mail
    std::vector<User> users;

    /// The user whose name, or else whose display name, is `text` (without regard to case).
    const User* findUser(std::string_view text) const;
    /// The user whose Internet address (or local address, see localAddressOf) is `address`.
    const User* userByAddress(std::string_view address) const;
    /// The address a user's mail carries on disk: the Internet address, or else
    /// "<name>@<post office name>.invalid" (blanks as dots, lower case).
    std::string localAddressOf(const User& user) const;
    /// The user's personal address book file.
    std::string personalBookOf(const User& user) const;
};

/// Why a post office could not be read.
enum class PostOfficeError {
    None,
    Missing,  ///< the folder or its postoffice.ini does not exist
    Damaged,  ///< the file is there but a user's section is unusable (the log says which)
};

/// The folder a post office path names: absolute as given, otherwise below the desktop
/// folder. `ansi` is Windows-1252 text.
std::string resolvePostOfficePath(std::string_view ansi);

/// Reads the post office at `folder` (already resolved). Damaged sections are logged.
std::optional<PostOffice> loadPostOffice(const std::string& folder, PostOfficeError& error);

/// True when `name` can name a user: 1-64 printable characters (Windows-1252), no '@', '\',
/// '/', '[', ']', ';', ',', '=' or '"', not starting or ending with a blank.
bool isValidUserName(std::string_view name);

/// True when `a` and `b` are equal without regard to ASCII case.
bool equalsNoCase(std::string_view a, std::string_view b);

}  // namespace vesk::vim32
