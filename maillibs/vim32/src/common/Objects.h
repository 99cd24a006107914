// What the library's handles stand for: sessions, containers, messages (opened from a
// container, or new ones being composed), items being read, and address books. Each object
// knows the object it was opened from; closing one closes everything opened from it first.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/AddressBook.h"
#include "common/PostOffice.h"
#include "store/Model.h"
#include "store/Store.h"
#include "vim32/vim.h"

namespace vesk::vim32 {

enum class Kind { Session, Container, Message, Item, AddressBook };

struct Object {
    explicit Object(Kind k) : kind(k) {}
    virtual ~Object() = default;
    Kind kind;
    Object* parent = nullptr;  ///< what it was opened from; null for a session
    std::uint32_t serial = 0;  ///< unique in the process, the seed of its positions' checks
    // Kept by the handle table: where the object is, and how many open objects were opened
    // from it, so closing one finds its slot and its children without a walk of every slot.
    std::size_t slot = 0;
    std::size_t children = 0;
};

struct Session : Object {
    Session() : Object(Kind::Session) {}
    PostOffice office;
    User user;
    std::unique_ptr<store::Store> store;  ///< the user's Maildir
};

struct Container : Object {
    Container() : Object(Kind::Container) {}
    Session* session = nullptr;
    std::string folder;  ///< store folder name (store::kInbox for the mailbox)
    /// The folder as a listing started at position zero saw it, and that listing's check.
    std::vector<store::MessageInfo> snapshot;
    std::uint32_t snapshotCheck = 0;
};

/// A recipient of a message being composed, as the post office will route it.
struct Route {
    vimSelector recipientClass = VIMSEL_TO;
    store::Address shown;       ///< name and address as the message's header shows them
    const User* local = nullptr;  ///< a user of this post office, or null for Internet mail
};

struct Message : Object {
    Message() : Object(Kind::Message) {}
    Session* session = nullptr;
    // Opened from a container:
    Container* container = nullptr;
    std::string folder, id;
    store::Message content;
    std::vector<std::optional<std::string>> attachmentBytes;  ///< read on first need
    // Being composed (container is null):
    store::Draft draft;
    std::vector<Route> routes;
    bool keepCopy = false;
    bool isDraft = false;
    bool settled = false;  ///< submitted or filed: nothing is left to do at close
};

struct Item : Object {
    Item() : Object(Kind::Item) {}
    std::string data;
    std::size_t offset = 0;
};

struct Book : Object {
    Book() : Object(Kind::AddressBook) {}
    Session* session = nullptr;
    std::string name;
    std::vector<BookEntry> entries;
};

}  // namespace vesk::vim32
