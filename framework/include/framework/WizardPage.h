// The page base of the "Mail Setup" wizard: the behaviour every page of every backend shows.
//
//   Cancel        without the continuation flag the wizard closes at once; with it the cancel
//                 question (MB_YESNO | MB_ICONINFORMATION, caption "Mail Setup") is asked,
//                 and only No keeps the wizard open.
//   Activation    the page takes its values from the wizard (OnLoadValues) and shows them.
//                 A page before the last sets Back and Next; the last page sets Back and
//                 Finish, and then either gives Finish the text "&Next >" and shows Back again
//                 (continuation flag set) or hides its reminder text (flag clear).
//   Back          on the first page ends the whole wizard with ID_WIZBACK, so the caller can
//                 return to its own previous step; on later pages it moves back as usual.
//
// Pages are made on the heap with CreateWizardPage, which reports a failed allocation instead
// of throwing; their memory comes from the framework's checked allocator, so tests can make a
// page's creation fail (vesk::injectAllocationFailure).
#pragma once

#include <cstddef>
#include <new>
#include <utility>
#include <vector>

#include "framework/Wizard.h"
#include "platform/AfxPropertySheet.h"
#include "win32/WinTypes.h"

class CWizardPage : public CPropertyPage {
public:
    /// A page on template `templateId` of the resources in force. `reminderId` names the
    /// static that tells the user how to return to Mail Setup (0: the page has none); the
    /// last page hides it when the wizard runs on its own.
    explicit CWizardPage(UINT templateId, int reminderId = 0);
    ~CWizardPage() override;

    /// The wizard this page runs in, or null before it is added to one.
    CWizard* GetWizard() const;
    /// True when this page is the first (last) page of its wizard.
    bool IsFirstPage() const;
    bool IsLastPage() const;

    /// Takes the wizard's values (OnLoadValues), shows them, sets the wizard buttons for the
    /// page's position and, on the last page, the finish text or the hidden reminder.
    /// Returns what CPropertyPage::OnSetActive returns.
    BOOL OnSetActive() override;
    /// Allows the cancel, asking first when the continuation flag is set (see above).
    BOOL OnQueryCancel() override;
    /// First page: ends the wizard with ID_WIZBACK and returns -1 (stay). Later pages: 0.
    LRESULT OnWizardBack() override;

    /// Pages live in the framework's checked allocations (see above): the throwing form
    /// throws std::bad_alloc, the nothrow form returns null, when the allocation fails.
    static void* operator new(std::size_t size);
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
    static void operator delete(void* memory) noexcept;
    static void operator delete(void* memory, const std::nothrow_t&) noexcept;

protected:
    /// Copies what the page shows from the wizard's setting texts into its members; called on
    /// every activation before the members go to the controls. Nothing by default.
    virtual void OnLoadValues(const CWizardValues& values);

    /// The reminder static's id (0: none).
    int ReminderId() const { return m_reminderId; }

private:
    int m_reminderId;
};

/// Makes a `Page` on the heap with `args` and appends it to `pages`. False (nothing appended)
/// when the page cannot be allocated. The caller deletes the pages.
template <class Page, class... Args>
bool CreateWizardPage(std::vector<CWizardPage*>& pages, Args&&... args) {
    Page* page = new (std::nothrow) Page(std::forward<Args>(args)...);
    if (page == nullptr) return false;
    try {
        pages.push_back(page);
    } catch (const std::bad_alloc&) {
        delete page;
        return false;
    }
    return true;
}
