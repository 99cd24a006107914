#include "framework/Wizard.h"

CWizard::CWizard(const std::string& caption, int inMailSetup, CWnd* parent, UINT firstPage, const CWizardTexts& texts,
                 size_t valueCount)
    : CPropertySheet(caption.c_str(), parent, firstPage),
      m_inMailSetup(inMailSetup),
      m_texts(texts),
      m_settings(valueCount) {}

CWizard::~CWizard() = default;

void CWizard::SetValues(const CWizardValues& values) {
    for (size_t i = 0; i < m_settings.size(); ++i) m_settings[i] = i < values.size() ? values[i] : std::string();
}

std::string CWizard::GetValue(size_t index) const {
    return index < m_settings.size() ? m_settings[index] : std::string();
}

void CWizard::SetValue(size_t index, const std::string& value) {
    if (index < m_settings.size()) m_settings[index] = value;
}
