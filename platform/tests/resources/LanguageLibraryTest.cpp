// The three compiled language libraries against the numbers and texts the plug-ins rely on.
// Numbers are written out here rather than taken from the id headers, so a wrong number in a
// header or a script is caught too.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "resources/ResourceTable.h"

namespace vesk::res {
namespace {

constexpr uint32_t kStaticTypeMask = 0x1F;
constexpr uint32_t kSsIcon = 0x3;
constexpr uint32_t kSsBitmap = 0xE;
constexpr uint32_t kButtonTypeMask = 0xF;
constexpr uint32_t kBsDefPushButton = 0x1;
constexpr uint32_t kEsPassword = 0x20;
constexpr uint32_t kCbsDropDownList = 0x3;
constexpr uint32_t kCbsSort = 0x100;
constexpr uint32_t kWsVScroll = 0x00200000;

const std::string kMailSetup = "Mail Setup";
const std::string kNext = "&Next >";
const std::string kCancelConfirm =
    "If you cancel now, you can return to Mail Setup at any time by choosing the Mail Setup icon in the Vesk "
    "Desktop program group.  Click Start on your Windows desktop, choose Programs, Vesk Desktop program group, "
    "and Mail Setup.\n\n  Are you sure that you want to cancel Mail Setup?";
const std::string kCongratulations =
    "Congratulations!  Your Mail is now set up and ready for use with the following configuration:";
// The closing hint of the summary pages, in the two wordings the pages use.
const std::string kReturnHintCapitalGroup =
    "You can return to Mail Setup at any time by choosing the Mail Setup Icon in the Vesk Desktop program group.  "
    "Click Start on your Windows desktop, choose Programs, Vesk Desktop Program Group, and Mail Setup.";
const std::string kReturnHintSmallGroup =
    "You can return to Mail Setup at any time by choosing the Mail Setup Icon in the Vesk Desktop program group.  "
    "Click Start on your Windows desktop, choose Programs, Vesk Desktop program group, and Mail Setup.";
const std::string kReturnHintSingleSpace =
    "You can return to Mail Setup at any time by choosing the Mail Setup icon in the Vesk Desktop program group. "
    "Click Start on your Windows desktop, choose Programs, Vesk Desktop program group, and Mail Setup.";
const std::string kLogonFailureTexts[] = {
    "Mail was not able to log on to your E-Mail application. There are several reasons why this may have "
    "happened. You may not be connected to your E-Mail server at this time, or you may have entered data "
    "incorrectly.",
    "If you are not connected to your E-Mail server, please save your settings now. You will be able to "
    "synchronize your e-mail when you connect to the server.",
    "If you are connected to your E-Mail server you have probably entered incorrect data. Please go back and check "
    "your information, or see your system administrator for further assistance.",
};
const std::string kServerError =
    "An error occurred while trying to access the mail server.  Please verify you are connected to your mail "
    "system, then try this operation again.";
const std::string kLogonError =
    "Mail was unable to logon to the mail application.  Please verify that the mail application is installed and "
    "setup correctly.";
const std::string kMemoryError = "There is not enough memory to complete this operation.";
const std::string kOtherError = "Mail encountered an error.";

// Loads a compiled language library once per test program.
const ResourceTable* library(const std::string& name) {
    static std::map<std::string, std::shared_ptr<const ResourceTable>> loaded;
    auto& slot = loaded[name];
    if (!slot) {
        std::string error;
        slot = loadResourceFile(std::string(VESK_TEST_MODULE_DIR) + "/" + name + ".res", &error);
        if (!slot) ADD_FAILURE() << error;
    }
    return slot.get();
}

bool hasText(const DialogTemplate& dialog, const std::string& text) {
    return std::any_of(dialog.controls.begin(), dialog.controls.end(),
                       [&](const DialogControl& c) { return c.text == text; });
}

struct StringRow {
    unsigned id;
    std::string text;
};

void expectStrings(const ResourceTable& table, const std::vector<StringRow>& rows) {
    for (const StringRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "string " << row.id);
        const std::string* text = table.string(row.id);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(*text, row.text);
    }
}

struct ControlRow {
    unsigned dialog;
    int id;
    ControlClass kind;
    const char* text;      ///< expected caption, or null when the caption is not fixed
    uint32_t styleMask;    ///< style bits that must hold `style`
    uint32_t style;
};

void expectControls(const ResourceTable& table, const std::vector<ControlRow>& rows) {
    for (const ControlRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "dialog " << row.dialog << ", control " << row.id);
        const DialogTemplate* dialog = table.dialog(row.dialog);
        ASSERT_NE(dialog, nullptr);
        const DialogControl* control = dialog->control(row.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->kind, row.kind);
        if (row.text) {
            EXPECT_EQ(control->text, row.text);
        }
        EXPECT_EQ(control->style & row.styleMask, row.style);
    }
}

// --- What every language library carries --------------------------------------------------

struct LibraryCase {
    const char* name;
    unsigned mailSetup;        ///< caption of the wizard and the message boxes
    unsigned cancelConfirm;
    unsigned next;             ///< the last page's button inside Mail Setup
    unsigned hosts;
    std::string hostsText;
    unsigned section;
    std::string sectionText;
    unsigned logonIcon;        ///< icon of dialog 203
    std::vector<unsigned> dialogs;
    std::vector<unsigned> pages;  ///< the wizard pages among them
    std::vector<unsigned> bitmaps;
    std::vector<unsigned> icons;
};

void PrintTo(const LibraryCase& c, std::ostream* os) { *os << c.name; }

class LanguageLibraryTest : public testing::TestWithParam<LibraryCase> {
protected:
    void SetUp() override {
        table_ = library(GetParam().name);
        ASSERT_NE(table_, nullptr);
    }
    const ResourceTable* table_ = nullptr;
};

TEST_P(LanguageLibraryTest, CarriesTheFrameworkStrings) {
    const LibraryCase& c = GetParam();
    expectStrings(*table_, {
                               {4300, "Not Configured"},
                               {c.mailSetup, kMailSetup},
                               {c.cancelConfirm, kCancelConfirm},
                               {c.next, kNext},
                               {c.hosts, c.hostsText},
                               {c.section, c.sectionText},
                           });
}

TEST_P(LanguageLibraryTest, HasExactlyItsDialogsPicturesAndIcons) {
    EXPECT_EQ(table_->dialogIds(), GetParam().dialogs);
    EXPECT_EQ(table_->bitmapIds(), GetParam().bitmaps);
    EXPECT_EQ(table_->iconIds(), GetParam().icons);
}

TEST_P(LanguageLibraryTest, LogonFailureDialogHasIconThreeTextsSaveAndCancel) {
    const DialogTemplate* dialog = table_->dialog(203);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->caption, kMailSetup);
    EXPECT_EQ(dialog->cx, 360);
    EXPECT_EQ(dialog->cy, 110);

    std::vector<std::string> texts;
    const DialogControl* icon = nullptr;
    for (const DialogControl& c : dialog->controls) {
        if (c.kind == ControlClass::Static && (c.style & kStaticTypeMask) == kSsIcon) icon = &c;
        if (c.kind == ControlClass::Static && !c.text.empty()) texts.push_back(c.text);
    }
    ASSERT_NE(icon, nullptr);
    ASSERT_TRUE(icon->textOrdinal);
    EXPECT_EQ(*icon->textOrdinal, GetParam().logonIcon);
    EXPECT_TRUE(table_->hasIcon(GetParam().logonIcon));
    EXPECT_EQ(texts, std::vector<std::string>(std::begin(kLogonFailureTexts), std::end(kLogonFailureTexts)));

    const DialogControl* save = dialog->control(1);
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->kind, ControlClass::Button);
    EXPECT_EQ(save->text, "&Save");
    EXPECT_EQ(save->style & kButtonTypeMask, kBsDefPushButton) << "Save is the default button";
    const DialogControl* cancel = dialog->control(2);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->kind, ControlClass::Button);
    EXPECT_EQ(cancel->text, "Cancel");
}

TEST_P(LanguageLibraryTest, EveryDialogUsesEightPointMsSansSerif) {
    for (const unsigned id : table_->dialogIds()) {
        SCOPED_TRACE(id);
        const DialogTemplate* dialog = table_->dialog(id);
        ASSERT_TRUE(dialog->font);
        EXPECT_EQ(dialog->font->pointSize, 8);
        EXPECT_EQ(dialog->font->face, "MS Sans Serif");
        if (id != 379) {
            EXPECT_EQ(dialog->caption, kMailSetup);
        }
    }
}

TEST_P(LanguageLibraryTest, WizardPagesAre400By202WithAPictureDownTheLeft) {
    for (const unsigned id : GetParam().pages) {
        SCOPED_TRACE(id);
        const DialogTemplate* page = table_->dialog(id);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->cx, 400);
        EXPECT_EQ(page->cy, 202);
        ASSERT_FALSE(page->controls.empty());
        const DialogControl& picture = page->controls.front();
        EXPECT_EQ(picture.style & kStaticTypeMask, kSsBitmap);
        EXPECT_EQ(picture.x, 7);
        EXPECT_EQ(picture.y, 7);
        EXPECT_EQ(picture.cx, 105);
        EXPECT_EQ(picture.cy, 189);
    }
}

TEST_P(LanguageLibraryTest, EveryPictureADialogShowsExists) {
    for (const unsigned id : table_->dialogIds()) {
        for (const DialogControl& c : table_->dialog(id)->controls) {
            if (c.kind != ControlClass::Static) continue;
            SCOPED_TRACE(testing::Message() << "dialog " << id << ", control at " << c.x << "," << c.y);
            const uint32_t type = c.style & kStaticTypeMask;
            if (type == kSsBitmap) {
                ASSERT_TRUE(c.textOrdinal);
                const Bitmap* bitmap = table_->bitmap(*c.textOrdinal);
                ASSERT_NE(bitmap, nullptr);
                EXPECT_TRUE(bitmap->rgbAt(0, 0)) << "a plain picture whose pixels can be read";
            } else if (type == kSsIcon) {
                ASSERT_TRUE(c.textOrdinal);
                EXPECT_TRUE(table_->hasIcon(*c.textOrdinal));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllLibraries, LanguageLibraryTest,
    testing::Values(
        LibraryCase{"kestrav", 4306, 4305, 4310, 4324, "Lotus cc:Mail 6.0 or higher%", 4325, "VimPlugin", 208,
                    {203, 379, 2000, 2001, 2002, 2003}, {2000, 2001, 2002, 2003}, {207, 2201, 2202, 2203},
                    {1, 208}},
        LibraryCase{"morleaf", 4305, 4306, 4307, 4322,
                    "Microsoft Exchange 5.0 or higher%Microsoft Outlook 97 or higher%", 4323, "MapiPlugin", 205,
                    {203, 3000, 3001}, {3000, 3001}, {6001, 6002}, {1, 205}},
        LibraryCase{"savidne", 4305, 4304, 4308, 4319,
                    "Eudora 3.0.1 or higher%Microsoft Outlook Express%Netscape Communicator 4.5 or higher%", 4320,
                    "SmapiPlugin", 1, {203, 2003, 5000, 5001, 5002}, {2003, 5000, 5001, 5002}, {6000}, {1}}),
    [](const testing::TestParamInfo<LibraryCase>& param) { return std::string(param.param.name); });

TEST(SupportedHostsTest, ListsHaveTheLengthsTheBufferRuleCountsOn) {
    // GetSupportedHosts asks for the text length plus one.
    EXPECT_EQ(library("kestrav")->string(4324)->size() + 1, 29u);
    EXPECT_EQ(library("morleaf")->string(4322)->size() + 1, 65u);
    EXPECT_EQ(library("savidne")->string(4319)->size() + 1, 86u);
}

// --- KESTRAV (Orvek, VIM) -----------------------------------------------------------------

TEST(KestravTest, StringTable) {
    const ResourceTable* t = library("kestrav");
    ASSERT_NE(t, nullptr);
    expectStrings(*t, {
        {4003, "UserAccount"},
        {4004, "PostOfficePath"},
        {4105, "InternetGateway"},
        {4106, "UserData"},
        {4107, "MsgHostName"},
        {4301, "Mail System:\t\t%s\nUser Name:\t\t%s\nPost Office Path:\t%s\nInternet Gateway:\t%s"},
        {4302, "rfc822.txt"},
        {4303, " at "},
        {4307, "You did not correctly enter your user name.  Without the correct user name, Mail will be unable to "
               "log onto your E-Mail application to synchronize your e-mail.  Contact your system administrator if "
               "you do not know your user name or need further assistance."},
        {4308, "You did not correctly enter your password.  Without the correct password, Mail will be unable to "
               "log onto your E-Mail application to synchronize your e-mail.  Contact your system administrator if "
               "you do not know your password or need further assistance."},
        {4314, "Trash"},
        {4315, "User identity"},
        {4316, "You must enter a user name before continuing."},
        {4317, "cc:Mail Post Office"},
        {4318, "You did not correctly enter your Post Office.  Without the correct Post Office, Mail will be unable "
               "to log onto your E-Mail application.  Contact your system administrator if you do not know your "
               "Post Office or need further assistance."},
        {4319, kLogonError},
        {4320, kMemoryError},
        {4321, kServerError},
        {4322, "An error occurred while trying to initialize the ccMail libraries.  Please verify that ccMail is "
               "correctly setup and that you can send and receive mail."},
        {4323, kOtherError},
    });
}

TEST(KestravTest, PageControls) {
    const ResourceTable* t = library("kestrav");
    ASSERT_NE(t, nullptr);
    using K = ControlClass;
    expectControls(*t, {
        {2001, 2102, K::Edit, "", kEsPassword, 0},
        {2001, 2103, K::Edit, "", kEsPassword, kEsPassword},  // typed characters hidden
        {2000, 2100, K::Edit, "", 0, 0},
        {2000, 2101, K::Button, "B&rowse...", 0, 0},
        {2002, 2104, K::Edit, "", 0, 0},
        {2003, 2105, K::Static, nullptr, 0, 0},
        {2003, 2106, K::Static, nullptr, 0, 0},
        {2003, 2107, K::Static, nullptr, 0, 0},
        {2003, 2108, K::Static, nullptr, 0, 0},
        {2003, 204, K::Static, kReturnHintCapitalGroup.c_str(), 0, 0},
        // The directory chooser: the standard file-open numbers.
        {379, 1088, K::Static, nullptr, 0, 0},
        {379, 1121, K::ListBox, nullptr, 0, 0},
        {379, 1137, K::ComboBox, nullptr, 0, 0},
        {379, 1, K::Button, "OK", 0, 0},
        {379, 2, K::Button, "Cancel", 0, 0},
        {379, 1038, K::Button, "&Help", 0, 0},
        {379, 1040, K::Button, "&Read only", 0, 0},
        {379, 1037, K::Button, "Net&work...", 0, 0},
        {379, 1090, K::Static, "File &name:", 0, 0},
        {379, 1152, K::Edit, nullptr, 0, 0},
        {379, 1120, K::ListBox, nullptr, 0, 0},
        {379, 1089, K::Static, "List files of &type:", 0, 0},
        {379, 1136, K::ComboBox, nullptr, 0, 0},
    });
}

TEST(KestravTest, PageTextsAndPictures) {
    const ResourceTable* t = library("kestrav");
    ASSERT_NE(t, nullptr);
    const struct {
        unsigned dialog;
        std::string text;
    } rows[] = {
        {2001, "Enter the cc:Mail user name that you use when you log onto the cc:Mail application.  For many "
               "cc:Mail installations, your user name is your first name and last name (e.g., John Smith)."},
        {2001, "If you are not sure, you should check your login name in your initial cc:Mail login screen (your "
               "Login Name = your User Name)."},
        {2001, "&User Name:"},
        {2001, "Enter the password you use when logging into your E-Mail application.\nThis information is needed "
               "to access your E-Mail application during a Tandrel(R) operation."},
        {2001, "&Password:"},
        {2000, "The Post Office stores all of your E-Mails.  Enter the path of your Post Office which is usually "
               "located on your local area network."},
        {2000, "On cc:Mail, you can tell your Post Office location by looking at your initial login screen. The "
               "Post Office is located in the \"P.O. Path\" field."},
        {2000, "If you are not sure where your Post Office is, please ask your system administrator."},
        {2000, "&Post Office Path:"},
        {2002, "The Internet Mail Gateway is usually the word that you have to type in the cc:Mail \"To:\" field "
               "to bring up your list of Internet e-mail addresses.  For instance, the word \"Internet\" is the "
               "Internet Mail Gateway in the cc:Mail example below."},
        {2002, "example directly below."},
        {2002, "Enter the word that you type in the \"To:\" field to get to your list of Internet e-mail "
               "addresses using cc:Mail."},
        {2002, "&Internet Mail Gateway:"},
        {2002, "If you're not sure what your internet gateway is, ask your system administrator."},
        {2003, kCongratulations},
        {2003, "Mail System:"},
        {2003, "User Name:"},
        {2003, "Post Office:"},
        {2003, "Internet Gateway:"},
        {379, "&Directories:"},
        {379, "Dri&ves:"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "dialog " << row.dialog << ": " << row.text);
        ASSERT_NE(t->dialog(row.dialog), nullptr);
        EXPECT_TRUE(hasText(*t->dialog(row.dialog), row.text));
    }
    EXPECT_EQ(t->dialog(379)->caption, "Choose Directory");
    EXPECT_EQ(t->dialog(379)->cx, 191);
    EXPECT_EQ(t->dialog(379)->cy, 163);
    // The file controls of the chooser lie outside the visible area.
    EXPECT_EQ(t->dialog(379)->control(1152)->x, 1000);
    EXPECT_GE(t->dialog(379)->control(1136)->y, 1000);

    const std::map<unsigned, unsigned> pagePictures = {{2000, 2201}, {2001, 2201}, {2002, 2202}, {2003, 2203}};
    for (const auto& [page, picture] : pagePictures) {
        SCOPED_TRACE(page);
        EXPECT_EQ(t->dialog(page)->controls.front().textOrdinal, picture);
    }
    // The gateway page also shows the To: field example.
    const auto& gateway = t->dialog(2002)->controls;
    EXPECT_TRUE(std::any_of(gateway.begin(), gateway.end(),
                            [](const DialogControl& c) { return c.textOrdinal == 207u; }));
}

// --- MORLEAF (Dunmere, Extended MAPI) ------------------------------------------------------

TEST(MorleafTest, StringTable) {
    const ResourceTable* t = library("morleaf");
    ASSERT_NE(t, nullptr);
    expectStrings(*t, {
        {4000, "MsgPlugIns"},
        {4002, "mapi32.dll"},
        {4101, "MsgHostName"},
        {4102, "UserMAPIProfile"},
        {4301, "Mail System:\t%s\nProfile:\t\t%s"},
        {4302, "\tUnable to send the following message.  To: %s, Subject: %s."},
        {4303, "You will not be able to continue setting up Mail with %s until a profile is created. \nDo you want "
               "to create a profile now?  If no, you can choose another E-Mail application to set up."},
        {4304, "There is currently no profile configured for use with %s.\nWould you like to set up a profile now?"},
        {4308, "Mail Setup could not register the conduit correctly."},
        {4309, "smtp"},
        {4313, "SOFTWARE\\Microsoft\\Windows Messaging Subsystem"},
        {4314, "MAPIX"},
        {4315, "You have chosen an email system/package that is not installed on your computer.\nInstall your email "
               "client and then set up Vesk email."},
        {4316, "Mail is unable to load the file MAPI32.dll.  Please verify that your mail application is installed "
               "and setup correctly."},
        {4317, kMemoryError},
        {4318, kLogonError},
        {4319, kServerError},
        {4320, "An error occurred while trying to initialize MAPI.  Please verify that the mail system you selected "
               "is correctly setup and that you can send and receive mail."},
        {4321, kOtherError},
        {4324, "Unknown Attachment"},
    });
    // The fallback sender: a quoted display name, then an address in angle brackets.
    const std::string* sender = t->string(4310);
    ASSERT_NE(sender, nullptr);
    EXPECT_EQ(sender->front(), '"');
    EXPECT_NE(sender->find("\" <"), std::string::npos) << *sender;
    EXPECT_EQ(sender->back(), '>');
}

TEST(MorleafTest, PageControls) {
    const ResourceTable* t = library("morleaf");
    ASSERT_NE(t, nullptr);
    using K = ControlClass;
    expectControls(*t, {
        {3000, 3010, K::ComboBox, nullptr, 0x3 | kCbsSort | kWsVScroll, kCbsDropDownList | kCbsSort | kWsVScroll},
        {3001, 3011, K::Static, nullptr, 0, 0},
        {3001, 3012, K::Static, nullptr, 0, 0},
        {3001, 204, K::Static, kReturnHintCapitalGroup.c_str(), 0, 0},
    });
    const DialogControl* combo = t->dialog(3000)->control(3010);
    EXPECT_EQ(combo->x, 170);
    EXPECT_EQ(combo->y, 55);
    EXPECT_EQ(combo->cx, 209);
    EXPECT_EQ(combo->cy, 91);

    EXPECT_TRUE(hasText(*t->dialog(3000), "A default profile is selected.  If you wish to synchronize with another "
                                          "profile, then select it from the following:"));
    EXPECT_TRUE(hasText(*t->dialog(3000), "&Profile:"));
    EXPECT_TRUE(hasText(*t->dialog(3001), kCongratulations));
    EXPECT_TRUE(hasText(*t->dialog(3001), "Mail System:"));
    EXPECT_TRUE(hasText(*t->dialog(3001), "Profile:"));
    EXPECT_EQ(t->dialog(3000)->controls.front().textOrdinal, 6001u);
    EXPECT_EQ(t->dialog(3001)->controls.front().textOrdinal, 6002u);
}

// --- SAVIDNE (Salvith, Simple MAPI) --------------------------------------------------------

TEST(SavidneTest, StringTable) {
    const ResourceTable* t = library("savidne");
    ASSERT_NE(t, nullptr);
    expectStrings(*t, {
        {4100, "MsgHostName"},
        {4101, "UserAccount"},
        {4102, "UserData"},
        {4306, "Eudora"},
        {4307, "Outlook Express"},
        {4312, "mapi32.dll"},
        {4313, "Mail System:\t%s"},
        {4315, kLogonError},
        {4316, kMemoryError},
        {4317, kServerError},
        {4318, kOtherError},
    });
}

TEST(SavidneTest, PageControls) {
    const ResourceTable* t = library("savidne");
    ASSERT_NE(t, nullptr);
    using K = ControlClass;
    expectControls(*t, {
        {5001, 5100, K::Static, nullptr, 0, 0},
        {5001, 205, K::Static, "Setup Instructions:", 0, 0},
        {5001, 206, K::Static, kReturnHintSingleSpace.c_str(), 0, 0},
        {5002, 5100, K::Static, nullptr, 0, 0},
        {5002, 205, K::Static, "Setup Instructions:", 0, 0},
        {5002, 207, K::Static, kReturnHintSingleSpace.c_str(), 0, 0},
        {2003, 5100, K::Static, nullptr, 0, 0},
        {2003, 204, K::Static, "User Name:", 0, 0},
        {2003, 5101, K::Static, nullptr, 0, 0},
        {2003, 207, K::Static, kReturnHintSmallGroup.c_str(), 0, 0},
    });
}

TEST(SavidneTest, InstructionsForEudoraAndOutlookExpress) {
    const ResourceTable* t = library("savidne");
    ASSERT_NE(t, nullptr);
    const struct {
        unsigned dialog;
        std::string text;
    } rows[] = {
        {5001, kCongratulations},
        {5001, "Mail System:"},
        {5001, "In order to synchronize with Eudora, you must first properly set up MAPI in Eudora.  The MAPI setting "
               "can be found in the Eudora menu bar under Tools/Options. If Eudora is the only mail client that you "
               "use, select"},
        {5001, "\"Always\" as the MAPI setting.  This will allow you to synchronize even if Eudora is not open."},
        {5001, "If you use more than one E-Mail program, select \"When Eudora is running\" as the MAPI setting.  You "
               "will then be able to synchronize only when Eudora is launched."},
        {5002, kCongratulations},
        {5002, "In order to synchronize with Outlook Express, you must first properly set up MAPI in Outlook Express. "
               " The MAPI setting can be found under Options in the Outlook Express Tools menu."},
        {5002, "To configure Outlook Express version 4 or earlier:"},
        {5002, "Check the box \"Make Outlook Express my default e-mail program,\" and then check the box \"Make "
               "Outlook Express my default Simple MAPI client\"."},
        {5002, "To configure Outlook Express version 5 or later:"},
        {5002, "Under the heading \"Default Messaging Programs\", if Outlook Express is not the default Mail "
               "handler, click the \"Make Default\" button."},
        {2003, kCongratulations},
        {2003, "Mail System:"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "dialog " << row.dialog << ": " << row.text);
        ASSERT_NE(t->dialog(row.dialog), nullptr);
        EXPECT_TRUE(hasText(*t->dialog(row.dialog), row.text));
    }
}

}  // namespace
}  // namespace vesk::res
