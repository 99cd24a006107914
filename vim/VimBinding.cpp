#include "VimBinding.h"

#include "win32/Module.h"

namespace {

template <typename Fn>
bool bindOne(HMODULE library, WORD ordinal, Fn& slot) {
    slot = VeskProcAs<Fn>(GetProcAddress(library, MAKEINTRESOURCEA(ordinal)));
    return slot != nullptr;
}

bool complete(const VimFunctions& f) {
    return f.Initialize && f.QueryCapability && f.GetDefaultSessionInfo && f.OpenSession && f.GetEntityName &&
           f.CloseSession && f.Terminate && f.CreateMessage && f.SetMessageHeader && f.SetMessageRecipient &&
           f.SetMessageItem && f.SendMessage && f.CloseMessage && f.OpenMessageContainer && f.EnumerateMessages &&
           f.EnumerateMsgAttrValues && f.CloseMessageContainer && f.OpenMessage && f.MarkMessageAsRead &&
           f.EnumerateMessageItems && f.OpenMessageItem && f.ReadMessageItem && f.CloseMessageItem &&
           f.EnumerateMessageRecipients && f.EnumerateAddressBooks && f.OpenAddressBook && f.MatchAddressBook &&
           f.GetABEntryAttributes && f.CloseAddressBook && f.SetMessageCategory;
}

}  // namespace

CVimBinding::~CVimBinding() { Unbind(); }

bool CVimBinding::Bind() {
    Unbind();
    m_library = LoadLibraryA(VIM32_DLL_NAME);
    if (m_library == nullptr) return false;
    VimFunctions& f = m_functions;
    bindOne(m_library, VIMORD_INITIALIZE, f.Initialize);
    bindOne(m_library, VIMORD_QUERYCAPABILITY, f.QueryCapability);
    bindOne(m_library, VIMORD_GETDEFAULTSESSIONINFO, f.GetDefaultSessionInfo);
    bindOne(m_library, VIMORD_OPENSESSION, f.OpenSession);
    bindOne(m_library, VIMORD_GETENTITYNAME, f.GetEntityName);
    bindOne(m_library, VIMORD_CLOSESESSION, f.CloseSession);
    bindOne(m_library, VIMORD_TERMINATE, f.Terminate);
    bindOne(m_library, VIMORD_CREATEMESSAGE, f.CreateMessage);
    bindOne(m_library, VIMORD_SETMESSAGEHEADER, f.SetMessageHeader);
    bindOne(m_library, VIMORD_SETMESSAGERECIPIENT, f.SetMessageRecipient);
    bindOne(m_library, VIMORD_SETMESSAGEITEM, f.SetMessageItem);
    bindOne(m_library, VIMORD_SENDMESSAGE, f.SendMessage);
    bindOne(m_library, VIMORD_CLOSEMESSAGE, f.CloseMessage);
    bindOne(m_library, VIMORD_OPENMESSAGECONTAINER, f.OpenMessageContainer);
    bindOne(m_library, VIMORD_ENUMERATEMESSAGES, f.EnumerateMessages);
    bindOne(m_library, VIMORD_ENUMERATEMSGATTRVALUES, f.EnumerateMsgAttrValues);
    bindOne(m_library, VIMORD_CLOSEMESSAGECONTAINER, f.CloseMessageContainer);
    bindOne(m_library, VIMORD_OPENMESSAGE, f.OpenMessage);
    bindOne(m_library, VIMORD_MARKMESSAGEASREAD, f.MarkMessageAsRead);
    bindOne(m_library, VIMORD_ENUMERATEMESSAGEITEMS, f.EnumerateMessageItems);
    bindOne(m_library, VIMORD_OPENMESSAGEITEM, f.OpenMessageItem);
    bindOne(m_library, VIMORD_READMESSAGEITEM, f.ReadMessageItem);
    bindOne(m_library, VIMORD_CLOSEMESSAGEITEM, f.CloseMessageItem);
    bindOne(m_library, VIMORD_ENUMERATEMESSAGERECIPIENTS, f.EnumerateMessageRecipients);
    bindOne(m_library, VIMORD_ENUMERATEADDRESSBOOKS, f.EnumerateAddressBooks);
    bindOne(m_library, VIMORD_OPENADDRESSBOOK, f.OpenAddressBook);
    bindOne(m_library, VIMORD_MATCHADDRESSBOOK, f.MatchAddressBook);
    bindOne(m_library, VIMORD_GETABENTRYATTRIBUTES, f.GetABEntryAttributes);
    bindOne(m_library, VIMORD_CLOSEADDRESSBOOK, f.CloseAddressBook);
    bindOne(m_library, VIMORD_SETMESSAGECATEGORY, f.SetMessageCategory);
    // A library missing one of them is not the library this plug-in was built against.
    if (!complete(f)) {
        Unbind();
        return false;
    }
    m_bound = true;
    return true;
}

void CVimBinding::Unbind() {
    if (m_library != nullptr) FreeLibrary(m_library);
    m_library = nullptr;
    m_functions = VimFunctions();
    m_bound = false;
}

void CVimBinding::UseFunctions(const VimFunctions& functions) {
    Unbind();
    m_functions = functions;
    m_bound = complete(m_functions);
}
