// A recording stand-in for the thirty VIM operations: every call is kept as one line of text
// with its arguments ("OpenSession(po,anna,pw,100,16)"), results are scripted per call, and
// the message listing, item reads, recipient listings and address books answer from a
// scripted mailbox. Handles are small numbers; the fake knows which are open, so a test can
// see that every path closed what it opened.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "VimBinding.h"

namespace fakevim {

// Handles the fake hands out (printed as these numbers).
constexpr uintptr_t kSession = 0x51;
constexpr uintptr_t kContainer = 0xC1;
constexpr uintptr_t kFirstMessage = 0x100;
constexpr uintptr_t kFirstItem = 0x200;
constexpr uintptr_t kFirstBook = 0x300;

struct Item {
    vimSelector cls = VIMSEL_NOTE_PART;
    std::string name;
    std::string text;  ///< what item reads deliver for a text part
};

struct Person {
    std::string name;
    std::string address;
};

struct Message {
    uint32_t ref = 0;  ///< the reference is {ref, 0xF00D}
    vimBool unread = 1;
    Person from;
    vimWord priority = VIM_NORMAL_PRIORITY;
    std::string subject;
    vimDate date{VIMSEL_LOCAL, VIM_UNKNOWN_DATE, VIM_UNKNOWN_TIME};
    vimDWord size = 0;
    std::vector<Item> items;
    std::map<vimSelector, std::vector<Person>> recipients;
};

struct Entry {
    std::string name;
    std::string address;
};

struct Book {
    std::string name;
    std::vector<Entry> entries;
};

/// What the fake answers.
struct Script {
    vimDWord version = 101;
    std::string defaultPostOffice = "/PO/Main";
    std::string defaultUser = "Anna Berg";
    std::vector<std::string> containerNames = {"Trash", "Sent"};
    std::vector<Message> mailbox;
    std::vector<Book> books;
    /// Status of the n-th call (0-based) of an operation: failures["OpenSession"][0] = 11.
    std::map<std::string, std::map<int, vimStatus>> failures;
    /// When set, every enumeration reports this count (to see the caller's cap) ...
    int forcedCount = -1;
    /// ... and this more flag.
    int forcedMore = -1;
};

Script& script();
/// The calls, one line each, in order.
std::vector<std::string>& calls();
/// Only the calls of operation `op` (lines starting with "op(").
std::vector<std::string> callsOf(const std::string& op);
/// The operation names of the calls, in order.
std::vector<std::string> callNames();
/// Handles handed out and not closed (session, container, messages, items, books).
std::set<uintptr_t>& openHandles();
/// Library starts not yet stopped.
int& started();
/// Clears the script, the calls and the handles.
void reset();

/// Recipients the fake's messages received through SetMessageRecipient, as "class:type:name|address".
std::vector<std::string>& addedRecipients();

/// The reference of scripted message `ref`.
vimRef refOf(uint32_t ref);

/// The table with the thirty fake functions.
VimFunctions functions();

}  // namespace fakevim
