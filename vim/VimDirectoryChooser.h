// The post office page's directory chooser ("Choose Directory", dialog 379 of the language
// library): the person picks an existing folder through the presenter of the owner window,
// which works the same in the terminal, line and scripted presenters.
#pragma once

#include <string>

#include "win32/WinTypes.h"

class CDirDlg {
public:
    /// A chooser over `owner` (may be null: the active presenter window) starting in the
    /// process's current directory.
    explicit CDirDlg(HWND owner);

    /// Runs the chooser. True with the chosen folder in Path() (absolute, without a trailing
    /// separator); false when the person cancelled or nothing usable was chosen.
    bool DoModal();
    const std::string& Path() const { return m_path; }

private:
    HWND m_owner;
    std::string m_path;
};
