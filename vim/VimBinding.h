// The thirty VIM operations Orvek uses, bound by ordinal from the VIM library. The backend
// calls the library only through this table, so a test can put a recording fake in its place.
#pragma once

#include "vim32/vim.h"
#include "win32/WinTypes.h"

/// Entries an enumeration delivers per call: every buffer has room for ten.
constexpr vimWord kVimBatch = 10;
/// The VIM status of a call's result (its low 16 bits).
inline vimWord VimStatusOf(vimStatus result) { return static_cast<vimWord>(VIM_STATUS(result)); }
/// The number of entries of a call that may be read: the library's count, never more than the
/// ten the buffers hold.
inline vimWord VimCappedCount(vimWord count) { return count > kVimBatch ? kVimBatch : count; }

/// The entry points, by the ordinals of the library's export table.
struct VimFunctions {
    PVIMINITIALIZE Initialize = nullptr;                                  // 1
    PVIMQUERYCAPABILITY QueryCapability = nullptr;                        // 2
    PVIMGETDEFAULTSESSIONINFO GetDefaultSessionInfo = nullptr;            // 3
    PVIMOPENSESSION OpenSession = nullptr;                                // 4
    PVIMGETENTITYNAME GetEntityName = nullptr;                            // 5
    PVIMCLOSESESSION CloseSession = nullptr;                              // 6
    PVIMTERMINATE Terminate = nullptr;                                    // 7
    PVIMCREATEMESSAGE CreateMessage = nullptr;                            // 9
    PVIMSETMESSAGEHEADER SetMessageHeader = nullptr;                      // 11
    PVIMSETMESSAGERECIPIENT SetMessageRecipient = nullptr;                // 12
    PVIMSETMESSAGEITEM SetMessageItem = nullptr;                          // 13
    PVIMSENDMESSAGE SendMessage = nullptr;                                // 14
    PVIMCLOSEMESSAGE CloseMessage = nullptr;                              // 15
    PVIMOPENMESSAGECONTAINER OpenMessageContainer = nullptr;              // 16
    PVIMENUMERATEMESSAGES EnumerateMessages = nullptr;                    // 17
    PVIMENUMERATEMSGATTRVALUES EnumerateMsgAttrValues = nullptr;          // 18
    PVIMCLOSEMESSAGECONTAINER CloseMessageContainer = nullptr;            // 24
    PVIMOPENMESSAGE OpenMessage = nullptr;                                // 25
    PVIMMARKMESSAGEASREAD MarkMessageAsRead = nullptr;                    // 26
    PVIMENUMERATEMESSAGEITEMS EnumerateMessageItems = nullptr;            // 29
    PVIMOPENMESSAGEITEM OpenMessageItem = nullptr;                        // 31
    PVIMREADMESSAGEITEM ReadMessageItem = nullptr;                        // 32
    PVIMCLOSEMESSAGEITEM CloseMessageItem = nullptr;                      // 33
    PVIMENUMERATEMESSAGERECIPIENTS EnumerateMessageRecipients = nullptr;  // 34
    PVIMENUMERATEADDRESSBOOKS EnumerateAddressBooks = nullptr;            // 37
    PVIMOPENADDRESSBOOK OpenAddressBook = nullptr;                        // 38
    PVIMMATCHADDRESSBOOK MatchAddressBook = nullptr;                      // 43
    PVIMGETABENTRYATTRIBUTES GetABEntryAttributes = nullptr;              // 44
    PVIMCLOSEADDRESSBOOK CloseAddressBook = nullptr;                      // 53
    PVIMSETMESSAGECATEGORY SetMessageCategory = nullptr;                  // 1003
};

/// The bound VIM library: its handle and its thirty entry points, all or none.
class CVimBinding {
public:
    CVimBinding() = default;
    /// Releases a library still held.
    ~CVimBinding();
    CVimBinding(const CVimBinding&) = delete;
    CVimBinding& operator=(const CVimBinding&) = delete;

    /// Loads "VIM32.dll" and looks the thirty entry points up by ordinal. True when all were
    /// found; otherwise nothing is held and the binding stays unbound.
    bool Bind();
    /// Releases the library and clears the table.
    void Unbind();
    /// Binds `functions` without a library, for tests: bound when all thirty are set.
    void UseFunctions(const VimFunctions& functions);

    bool IsBound() const { return m_bound; }
    const VimFunctions& Functions() const { return m_functions; }

private:
    HMODULE m_library = nullptr;
    VimFunctions m_functions;
    bool m_bound = false;
};
