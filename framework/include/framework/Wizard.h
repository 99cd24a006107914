// The "Mail Setup" wizard sheet that the three backends share. It carries what every page of
// every backend reads: the continuation flag, the resource numbers of the frame's texts, and
// the setting texts of the backend's mail system (Orvek five, Dunmere two, Salvith three), in
// the order of the backend's settings class. Pages read and change the settings here; only a
// finished run copies them into the host object (framework/WizardRun.h).
//
// CWizard changes nothing of the property sheet's behaviour; the pages (framework/
// WizardPage.h) carry the behaviour the frame shares.
#pragma once

#include <string>
#include <vector>

#include "platform/AfxPropertySheet.h"
#include "win32/WinTypes.h"

/// The setting texts of one backend, in the order of its settings class.
using CWizardValues = std::vector<std::string>;

/// Resource numbers of the frame's texts in a backend's language library.
struct CWizardTexts {
    UINT caption = 0;         ///< "Mail Setup": the sheet's caption and the cancel question's
    UINT cancelQuestion = 0;  ///< "If you cancel now, ... Are you sure ...?"
    UINT nextText = 0;        ///< "&Next >": the last page's Finish text inside Mail Setup
};

class CWizard : public CPropertySheet {
public:
    /// A wizard captioned `caption` over `parent` (may be null), starting at page
    /// `firstPage`, holding `valueCount` empty setting texts. `inMailSetup` non-zero says the
    /// wizard is one stage of the caller's longer setup sequence. Pages are added by the
    /// caller, who also deletes them (a sheet never owns its pages).
    CWizard(const std::string& caption, int inMailSetup, CWnd* parent, UINT firstPage, const CWizardTexts& texts,
            size_t valueCount);
    ~CWizard() override;

    /// Put settings: stores `values` in order. Missing texts become empty, surplus ones are
    /// ignored: the count is the backend's, fixed at construction.
    void SetValues(const CWizardValues& values);
    /// Get settings: a copy of the setting texts, in order.
    CWizardValues GetValues() const { return m_settings; }
    /// One setting text (empty for an index beyond the backend's count).
    std::string GetValue(size_t index) const;
    /// Replaces one setting text; an index beyond the count is ignored.
    void SetValue(size_t index, const std::string& value);

    /// The continuation flag: non-zero while the wizard is a stage of the caller's sequence.
    int m_inMailSetup;
    /// The resource numbers of the frame's texts.
    const CWizardTexts& Texts() const { return m_texts; }

private:
    CWizardTexts m_texts;
    CWizardValues m_settings;
};
