#include "VimDirectoryChooser.h"

#include <climits>
#include <vector>

#include "win32/MessageBox.h"

CDirDlg::CDirDlg(HWND owner) : m_owner(owner) {}

bool CDirDlg::DoModal() {
    std::vector<char> chosen(PATH_MAX, '\0');
    VESK_CHOOSE_DIRECTORYA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = m_owner;
    request.lpszTitle = nullptr;  // "Choose Directory", the caption of dialog 379
    request.lpszInitialDir = nullptr;  // the current directory, which the page set
    request.lpszDir = chosen.data();
    request.nMaxDir = static_cast<DWORD>(chosen.size());
    if (!VeskChooseDirectoryA(&request)) return false;
    m_path = chosen.data();
    // The folder itself, never a path ending in its separator (the root stays "/").
    while (m_path.size() > 1 && m_path.back() == '/') m_path.pop_back();
    return !m_path.empty();
}
