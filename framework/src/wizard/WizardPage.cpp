#include "framework/WizardPage.h"

#include <cstdlib>
#include <string>

#include "framework/Allocation.h"
#include "framework/ResourceStrings.h"
#include "win32/MessageBox.h"

CWizardPage::CWizardPage(UINT templateId, int reminderId) : CPropertyPage(templateId), m_reminderId(reminderId) {}

CWizardPage::~CWizardPage() = default;

CWizard* CWizardPage::GetWizard() const {
    return dynamic_cast<CWizard*>(GetSheet());
}

bool CWizardPage::IsFirstPage() const {
    const CPropertySheet* sheet = GetSheet();
    return sheet != nullptr && sheet->GetPageIndex(const_cast<CWizardPage*>(this)) == 0;
}

bool CWizardPage::IsLastPage() const {
    const CPropertySheet* sheet = GetSheet();
    return sheet != nullptr && sheet->GetPageIndex(const_cast<CWizardPage*>(this)) == sheet->GetPageCount() - 1;
}

void CWizardPage::OnLoadValues(const CWizardValues&) {}

BOOL CWizardPage::OnSetActive() {
    CWizard* wizard = GetWizard();
    if (wizard != nullptr) OnLoadValues(wizard->GetValues());
    // On the first activation OnInitDialog filled the controls before the values were taken.
    UpdateData(FALSE);
    if (wizard != nullptr) {
        if (!IsLastPage()) {
            wizard->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
        } else {
            wizard->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
            if (wizard->m_inMailSetup != 0) {
                const std::string next = LoadResString(wizard->Texts().nextText);
                wizard->SetFinishText(next.c_str());
                // A finish text hides Back; inside Mail Setup the person may still go back.
                if (CWnd* back = wizard->GetDlgItem(ID_WIZBACK)) back->ShowWindow(SW_SHOW);
            } else if (m_reminderId != 0) {
                // Run on its own, Mail Setup was started from its icon: no need to say how.
                if (CWnd* reminder = GetDlgItem(m_reminderId)) reminder->ShowWindow(SW_HIDE);
            }
        }
    }
    return CPropertyPage::OnSetActive();
}

BOOL CWizardPage::OnQueryCancel() {
    CWizard* wizard = GetWizard();
    if (wizard == nullptr || wizard->m_inMailSetup == 0) return TRUE;
    const std::string question = LoadResString(wizard->Texts().cancelQuestion);
    const std::string caption = LoadResString(wizard->Texts().caption);
    return MessageBox(question.c_str(), caption.c_str(), MB_YESNO | MB_ICONINFORMATION) != IDNO;
}

LRESULT CWizardPage::OnWizardBack() {
    if (!IsFirstPage()) return CPropertyPage::OnWizardBack();
    // Back out of the first page hands control back to the caller's previous step.
    if (CWizard* wizard = GetWizard()) wizard->EndDialog(ID_WIZBACK);
    return -1;
}

void* CWizardPage::operator new(std::size_t size) {
    void* memory = vesk::checkedMalloc(size);
    if (memory == nullptr) throw std::bad_alloc();
    return memory;
}

void* CWizardPage::operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return vesk::checkedMalloc(size);
}

void CWizardPage::operator delete(void* memory) noexcept {
    std::free(memory);
}

void CWizardPage::operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
