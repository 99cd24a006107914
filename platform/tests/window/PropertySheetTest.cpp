// The wizard-mode property sheet driven through PropertySheetA by scripted presenters: page
// travel and the answers of the notifications, ending, cancelling, the finish text, and
// nested presses.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "WindowTestSupport.h"
#include "win32/MessageBox.h"
#include "win32/PropSheet.h"

namespace vesk::test {
namespace {

using ui::ScriptAction;

// What one page answers, and a log of what it was told.
struct Page {
    int templateId = 0;
    std::map<UINT, std::function<LRESULT(HWND page)>> answers;  // by notification code
    std::vector<std::string>* log = nullptr;
};

const char* codeName(UINT code) {
    switch (code) {
        case PSN_SETACTIVE: return "setactive";
        case PSN_KILLACTIVE: return "killactive";
        case PSN_WIZBACK: return "back";
        case PSN_WIZNEXT: return "next";
        case PSN_WIZFINISH: return "finish";
        case PSN_QUERYCANCEL: return "querycancel";
        case PSN_RESET: return "reset";
        case PSN_HELP: return "help";
        default: return "other";
    }
}

INT_PTR pageProc(HWND hWnd, UINT msg, WPARAM, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        const auto* psp = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
        SetWindowLongPtrA(hWnd, DWLP_USER, psp->lParam);
        return TRUE;
    }
    auto* page = reinterpret_cast<Page*>(GetWindowLongPtrA(hWnd, DWLP_USER));
    if (msg != WM_NOTIFY || page == nullptr) return FALSE;
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    page->log->push_back(std::to_string(page->templateId) + " " + codeName(header->code));
    auto it = page->answers.find(header->code);
    if (it == page->answers.end()) return FALSE;
    SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, it->second(hWnd));
    return TRUE;
}

class Wizard : public ::testing::Test {
protected:
    Page& page(int templateId) {
        pages_.push_back(Page{templateId, {}, &log_});
        return pages_.back();
    }

    // Runs the pages made so far as a wizard through `window`'s presenter.
    INT_PTR run(ScriptedWindow& window, DWORD flags = 0, UINT start = 0) {
        std::vector<PROPSHEETPAGEA> psps;
        for (Page& p : pages_) {
            PROPSHEETPAGEA psp{};
            psp.dwSize = sizeof psp;
            psp.hInstance = testModule();
            psp.pszTemplate = templateName(p.templateId);
            psp.pfnDlgProc = pageProc;
            psp.lParam = reinterpret_cast<LPARAM>(&p);
            psps.push_back(psp);
        }
        PROPSHEETHEADERA header{};
        header.dwSize = sizeof header;
        header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD | flags;
        header.hwndParent = window.hwnd();
        header.pszCaption = "Mail Setup";
        header.nPages = static_cast<UINT>(psps.size());
        header.nStartPage = start;
        header.ppsp = psps.data();
        return PropertySheetA(&header);
    }

    std::vector<int> pagesShown(const ScriptedWindow& window) const {
        std::vector<int> shown;
        for (const ui::WindowView* view : window.transcript().pages()) {
            if (shown.empty() || shown.back() != view->templateId) shown.push_back(view->templateId);
        }
        return shown;
    }

    std::deque<Page> pages_;
    std::vector<std::string> log_;
};

TEST_F(Wizard, NextAndBackTravelAndFinishEndsWithIdWizFinish) {
    // Buttons stay as the last page set them, so every page sets its own.
    const auto backAndNext = [](HWND page) {
        PostMessageA(GetParent(page), PSM_SETWIZBUTTONS, 0, PSWIZB_BACK | PSWIZB_NEXT);
        return LRESULT{0};
    };
    page(kPageName).answers[PSN_SETACTIVE] = backAndNext;
    page(kPageProfile).answers[PSN_SETACTIVE] = backAndNext;
    page(kPageSummary);
    ScriptedWindow window({ScriptAction::press("Next"), ScriptAction::press("Next"), ScriptAction::press("Back"),
                           ScriptAction::press("Next"), ScriptAction::press("Finish")});
    // Finish is there only once a page asks for it.
    pages_[2].answers[PSN_SETACTIVE] = [](HWND page) {
        PostMessageA(GetParent(page), PSM_SETWIZBUTTONS, 0, PSWIZB_BACK | PSWIZB_FINISH);
        return 0;
    };
    EXPECT_EQ(run(window), ID_WIZFINISH);
    EXPECT_EQ(pagesShown(window), (std::vector<int>{kPageName, kPageProfile, kPageSummary, kPageProfile,
                                                    kPageSummary}));
    EXPECT_TRUE(window.transcript().errors().empty());
    // The page is asked before it is left: the travel notification, then killactive.
    ASSERT_GE(log_.size(), 4u);
    const std::vector<std::string> firstSteps(log_.begin(), log_.begin() + 4);
    EXPECT_EQ(firstSteps, (std::vector<std::string>{"201 setactive", "201 next", "201 killactive", "202 setactive"}));
    EXPECT_EQ(log_.back(), "203 finish");
}

TEST_F(Wizard, TravelAnswersStayJumpOrSkip) {
    struct Row {
        const char* what;
        LRESULT nextAnswer;          // page 1's answer to Next
        LRESULT secondSetActive;     // page 2's answer to activation
        std::vector<int> expected;   // pages shown
    } rows[] = {
        {"-1 stays", -1, 0, {kPageName}},
        {"a template id jumps", kPageSummary, 0, {kPageName, kPageSummary}},
        {"0 moves to the next", 0, 0, {kPageName, kPageProfile}},
        {"a page that refuses activation is skipped", 0, -1, {kPageName, kPageSummary}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        pages_.clear();
        page(kPageName).answers[PSN_WIZNEXT] = [&](HWND) { return row.nextAnswer; };
        page(kPageProfile).answers[PSN_SETACTIVE] = [&](HWND) { return row.secondSetActive; };
        page(kPageSummary);
        ScriptedWindow window({ScriptAction::press("Next"), ScriptAction::press("Cancel")});
        EXPECT_EQ(run(window), IDCANCEL);
        EXPECT_EQ(pagesShown(window), row.expected);
    }
}

TEST_F(Wizard, KillActiveCanKeepThePage) {
    page(kPageName).answers[PSN_KILLACTIVE] = [](HWND) { return TRUE; };
    page(kPageProfile);
    ScriptedWindow window({ScriptAction::press("Next"), ScriptAction::press("Cancel")});
    EXPECT_EQ(run(window), IDCANCEL);
    EXPECT_EQ(pagesShown(window), std::vector<int>{kPageName});
}

TEST_F(Wizard, CancelAsksThePageAndResetsEveryCreatedPage) {
    int asked = 0;
    // The page vetoes the first cancel and allows the second.
    page(kPageName).answers[PSN_QUERYCANCEL] = [&](HWND) { return ++asked == 1 ? TRUE : FALSE; };
    page(kPageProfile);
    ScriptedWindow window({ScriptAction::press("Cancel"), ScriptAction::press("Cancel")});
    EXPECT_EQ(run(window), IDCANCEL);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(std::count(log_.begin(), log_.end(), "201 reset"), 1);
    EXPECT_EQ(std::count(log_.begin(), log_.end(), "202 reset"), 0);  // never created
    EXPECT_FALSE(window.transcript().ranOut());
}

TEST_F(Wizard, EndDialogFromBackEndsTheSheetWithThatResult) {
    page(kPageName).answers[PSN_WIZBACK] = [](HWND page) {
        EndDialog(GetParent(page), ID_WIZBACK);
        return -1;
    };
    ScriptedWindow window({ScriptAction::press("Back")});
    EXPECT_EQ(run(window), ID_WIZBACK);
    EXPECT_EQ(window.presenter().remaining(), 0u);
}

TEST_F(Wizard, FinishTextHidesBackAndNextUntilBackIsShownAgain) {
    struct Row {
        const char* what;
        bool showBack;
    } rows[] = {{"finish text alone", false}, {"back shown again", true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        pages_.clear();
        page(kPageSummary).answers[PSN_SETACTIVE] = [&](HWND page) {
            const HWND sheet = GetParent(page);
            // As the framework does it: buttons posted, finish text sent, Back shown directly.
            PostMessageA(sheet, PSM_SETWIZBUTTONS, 0, PSWIZB_BACK | PSWIZB_FINISH);
            SendMessageA(sheet, PSM_SETFINISHTEXTA, 0, reinterpret_cast<LPARAM>("&Next >"));
            if (row.showBack) ShowWindow(GetDlgItem(sheet, ID_WIZBACK), SW_SHOW);
            return 0;
        };
        ScriptedWindow window({ScriptAction::press("Next")});
        EXPECT_EQ(run(window), ID_WIZFINISH);
        const ui::WindowView* shown = window.transcript().pages().front();
        const ui::SheetButtonView* finish = shown->button(ID_WIZFINISH);
        ASSERT_NE(finish, nullptr);
        EXPECT_EQ(finish->text, "&Next >");
        EXPECT_TRUE(finish->visible);
        EXPECT_TRUE(finish->enabled);
        EXPECT_FALSE(shown->button(ID_WIZNEXT)->visible);
        EXPECT_EQ(shown->button(ID_WIZBACK)->visible, row.showBack);
        EXPECT_TRUE(shown->button(ID_WIZBACK)->enabled);
        // "press Next" reached the Finish button that reads "&Next >".
        EXPECT_TRUE(window.transcript().errors().empty());
    }
}

TEST_F(Wizard, WizardButtonsSwapNextAndFinish) {
    struct Row {
        DWORD flags;
        bool back, next, finish;  // enabled; Next and Finish also say which shows
    } rows[] = {
        {PSWIZB_NEXT, false, true, false},
        {PSWIZB_BACK | PSWIZB_NEXT, true, true, false},
        {PSWIZB_BACK | PSWIZB_FINISH, true, false, true},
        {PSWIZB_DISABLEDFINISH, false, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.flags);
        pages_.clear();
        page(kPageName).answers[PSN_SETACTIVE] = [&](HWND page) {
            PostMessageA(GetParent(page), PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(row.flags));
            return 0;
        };
        ScriptedWindow window({ScriptAction::press("Cancel")});
        run(window);
        const ui::WindowView* shown = window.transcript().pages().front();
        EXPECT_EQ(shown->button(ID_WIZBACK)->enabled, row.back);
        EXPECT_EQ(shown->button(ID_WIZNEXT)->enabled, row.next);
        EXPECT_EQ(shown->button(ID_WIZFINISH)->enabled, row.finish);
        const bool finishShows = (row.flags & (PSWIZB_FINISH | PSWIZB_DISABLEDFINISH)) != 0;
        EXPECT_EQ(shown->button(ID_WIZFINISH)->visible, finishShows);
        EXPECT_EQ(shown->button(ID_WIZNEXT)->visible, !finishShows);
    }
}

TEST_F(Wizard, BackPressedWhileHandlingNextWinsOverNext) {
    page(kPageName);
    page(kPageProfile).answers[PSN_WIZNEXT] = [](HWND page) {
        // A failed check sends the person back; the page then answers "go on".
        SendMessageA(GetParent(page), PSM_PRESSBUTTON, PSBTN_BACK, 0);
        return 0;
    };
    page(kPageSummary);
    ScriptedWindow window({ScriptAction::press("Next"), ScriptAction::press("Next"), ScriptAction::press("Cancel")});
    EXPECT_EQ(run(window), IDCANCEL);
    EXPECT_EQ(pagesShown(window), (std::vector<int>{kPageName, kPageProfile, kPageName}));
}

TEST_F(Wizard, PostedMessageFromActivationPressesBackAfterThePageShows) {
    page(kPageName).answers[PSN_SETACTIVE] = [](HWND page) {
        PostMessageA(page, WM_APP + 1, 0, 0);
        return 0;
    };
    pages_.back().answers[PSN_WIZBACK] = [&](HWND page) {
        log_.push_back("active page: " + std::to_string(VeskGetDialogTemplateId(reinterpret_cast<HWND>(
                                             SendMessageA(GetParent(page), PSM_GETCURRENTPAGEHWND, 0, 0)))));
        EndDialog(GetParent(page), ID_WIZBACK);
        return -1;
    };
    // WM_APP + 1 presses Back, as a page does when it cannot go on.
    struct Poster {
        static INT_PTR proc(HWND hWnd, UINT msg, WPARAM w, LPARAM l) {
            if (msg == WM_APP + 1) {
                SendMessageA(GetParent(hWnd), PSM_PRESSBUTTON, PSBTN_BACK, 0);
                return TRUE;
            }
            return pageProc(hWnd, msg, w, l);
        }
    };
    PROPSHEETPAGEA psp{};
    psp.dwSize = sizeof psp;
    psp.hInstance = testModule();
    psp.pszTemplate = templateName(kPageName);
    psp.pfnDlgProc = Poster::proc;
    psp.lParam = reinterpret_cast<LPARAM>(&pages_.back());
    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD;
    ScriptedWindow window;  // the person never acts
    header.hwndParent = window.hwnd();
    header.nPages = 1;
    header.ppsp = &psp;
    EXPECT_EQ(PropertySheetA(&header), ID_WIZBACK);
    EXPECT_NE(std::find(log_.begin(), log_.end(), "active page: 201"), log_.end());
    EXPECT_TRUE(window.transcript().pages().empty());
}

TEST_F(Wizard, PagesComeAndGoWhileTheSheetRuns) {
    page(kPageName).answers[PSN_WIZNEXT] = [](HWND page) {
        // Adds the summary page behind the current one.
        PROPSHEETPAGEA psp{};
        psp.dwSize = sizeof psp;
        psp.hInstance = testModule();
        psp.pszTemplate = templateName(kPageSummary);
        psp.pfnDlgProc = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
        SendMessageA(GetParent(page), PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(CreatePropertySheetPageA(&psp)));
        return 0;
    };
    page(kPageProfile).answers[PSN_SETACTIVE] = [](HWND page) {
        // The profile page takes itself out while activating: the sheet moves on.
        PostMessageA(GetParent(page), PSM_REMOVEPAGE, 1, 0);
        return 0;
    };
    ScriptedWindow window({ScriptAction::press("Next"), ScriptAction::press("Cancel")});
    EXPECT_EQ(run(window), IDCANCEL);
    const std::vector<int> shown = pagesShown(window);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), kPageSummary);
    EXPECT_EQ(window.transcript().lastPage()->pageCount, 2);
}

TEST_F(Wizard, SheetRefusesBadHeaders) {
    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    SetLastError(0);
    EXPECT_EQ(PropertySheetA(nullptr), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(PropertySheetA(&header), -1);  // no pages
    PROPSHEETPAGEA psp{};
    psp.dwSize = sizeof psp;
    psp.hInstance = testModule();
    psp.pszTemplate = templateName(9999);
    psp.pfnDlgProc = pageProc;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD;
    header.nPages = 1;
    header.ppsp = &psp;
    ScriptedWindow window;
    header.hwndParent = window.hwnd();
    SetLastError(0);
    EXPECT_EQ(PropertySheetA(&header), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    // A handle that no call made is refused too.
    HPROPSHEETPAGE fake = reinterpret_cast<HPROPSHEETPAGE>(&psp);
    header.dwFlags = PSH_WIZARD;
    header.phpage = &fake;
    EXPECT_EQ(PropertySheetA(&header), -1);
    EXPECT_FALSE(DestroyPropertySheetPage(fake));
}

}  // namespace
}  // namespace vesk::test
