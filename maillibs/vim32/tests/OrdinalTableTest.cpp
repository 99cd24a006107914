// The library as a client finds it: every call by ordinal and by the same name.
#include "VimFixture.h"

namespace vimtest {
namespace {

using OrdinalTableTest = VimFixture;

TEST_F(OrdinalTableTest, EveryOrdinalIsTheCallOfItsName) {
    const std::pair<int, const char*> calls[] = {
        {VIMORD_INITIALIZE, "VIMInitialize"}, {VIMORD_QUERYCAPABILITY, "VIMQueryCapability"},
        {VIMORD_GETDEFAULTSESSIONINFO, "VIMGetDefaultSessionInfo"}, {VIMORD_OPENSESSION, "VIMOpenSession"},
        {VIMORD_GETENTITYNAME, "VIMGetEntityName"}, {VIMORD_CLOSESESSION, "VIMCloseSession"},
        {VIMORD_TERMINATE, "VIMTerminate"}, {VIMORD_CREATEMESSAGE, "VIMCreateMessage"},
        {VIMORD_SETMESSAGEHEADER, "VIMSetMessageHeader"}, {VIMORD_SETMESSAGERECIPIENT, "VIMSetMessageRecipient"},
        {VIMORD_SETMESSAGEITEM, "VIMSetMessageItem"}, {VIMORD_SENDMESSAGE, "VIMSendMessage"},
        {VIMORD_CLOSEMESSAGE, "VIMCloseMessage"}, {VIMORD_OPENMESSAGECONTAINER, "VIMOpenMessageContainer"},
        {VIMORD_ENUMERATEMESSAGES, "VIMEnumerateMessages"}, {VIMORD_ENUMERATEMSGATTRVALUES, "VIMEnumerateMsgAttrValues"},
        {VIMORD_CLOSEMESSAGECONTAINER, "VIMCloseMessageContainer"}, {VIMORD_OPENMESSAGE, "VIMOpenMessage"},
        {VIMORD_MARKMESSAGEASREAD, "VIMMarkMessageAsRead"}, {VIMORD_ENUMERATEMESSAGEITEMS, "VIMEnumerateMessageItems"},
        {VIMORD_OPENMESSAGEITEM, "VIMOpenMessageItem"}, {VIMORD_READMESSAGEITEM, "VIMReadMessageItem"},
        {VIMORD_CLOSEMESSAGEITEM, "VIMCloseMessageItem"},
        {VIMORD_ENUMERATEMESSAGERECIPIENTS, "VIMEnumerateMessageRecipients"},
        {VIMORD_ENUMERATEADDRESSBOOKS, "VIMEnumerateAddressBooks"}, {VIMORD_OPENADDRESSBOOK, "VIMOpenAddressBook"},
        {VIMORD_MATCHADDRESSBOOK, "VIMMatchAddressBook"}, {VIMORD_GETABENTRYATTRIBUTES, "VIMGetABEntryAttributes"},
        {VIMORD_CLOSEADDRESSBOOK, "VIMCloseAddressBook"}, {VIMORD_SETMESSAGECATEGORY, "VIMSetMessageCategory"},
    };
    ASSERT_EQ(std::size(calls), 30u);
    for (const auto& [ordinal, name] : calls) {
        SCOPED_TRACE(name);
        FARPROC byOrdinal = GetProcAddress(library, MAKEINTRESOURCEA(ordinal));
        ASSERT_NE(byOrdinal, nullptr);
        EXPECT_EQ(byOrdinal, GetProcAddress(library, name));
    }
    // Ordinals the library does not offer, and a name it does not export.
    EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(8)), nullptr);
    EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(1004)), nullptr);
    EXPECT_EQ(GetProcAddress(library, "VIMOpenGatewaySession"), nullptr);
}

}  // namespace
}  // namespace vimtest
