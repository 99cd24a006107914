// The DDX_ / DDV_ transfers between controls and members.
#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/AfxWnd.h"
#include "win32/MessageBox.h"

namespace {

std::string textOf(HWND control) {
    const int length = GetWindowTextLengthA(control);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), length + 1)));
    return text;
}

std::string itemText(HWND control, UINT lengthMessage, UINT textMessage, WPARAM index) {
    const LRESULT length = SendMessageA(control, lengthMessage, index, 0);
    if (length < 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(control, textMessage, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

[[noreturn]] void failWith(CDataExchange* pDX, const std::string& message) {
    std::string caption;
    pDX->m_pDlgWnd->GetWindowText(caption);
    MessageBoxA(pDX->m_pDlgWnd->m_hWnd, message.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
    pDX->Fail();
}

}  // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value) {
    HWND control = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) value = textOf(control);
    else SetWindowTextA(control, value.c_str());
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    HWND control = pDX->PrepareEditCtrl(nIDC);
    if (!pDX->m_bSaveAndValidate) {
        SetWindowTextA(control, std::to_string(value).c_str());
        return;
    }
    const std::string text = textOf(control);
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t");
    const std::string digits = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    errno = 0;
    char* end = nullptr;
    const long parsed = digits.empty() ? 0 : std::strtol(digits.c_str(), &end, 10);
    if (digits.empty() || errno != 0 || *end != '\0' || parsed < INT32_MIN || parsed > INT32_MAX) {
        failWith(pDX, "Please enter an integer.");
    }
    value = static_cast<int>(parsed);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    HWND control = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) value = static_cast<int>(SendMessageA(control, BM_GETCHECK, 0, 0));
    else SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_CBString(CDataExchange* pDX, int nIDC, std::string& value) {
    HWND control = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        const LRESULT selected = SendMessageA(control, CB_GETCURSEL, 0, 0);
        value = selected >= 0 ? itemText(control, CB_GETLBTEXTLEN, CB_GETLBTEXT, static_cast<WPARAM>(selected))
                              : textOf(control);
        return;
    }
    if (SendMessageA(control, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.c_str())) ==
        CB_ERR) {
        SetWindowTextA(control, value.c_str());
    }
}

void DDX_CBStringExact(CDataExchange* pDX, int nIDC, std::string& value) {
    HWND control = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        DDX_CBString(pDX, nIDC, value);
        return;
    }
    const LRESULT index =
        SendMessageA(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.c_str()));
    if (index != CB_ERR) SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    else SetWindowTextA(control, value.c_str());
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
    HWND control = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) index = static_cast<int>(SendMessageA(control, CB_GETCURSEL, 0, 0));
    else SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_LBString(CDataExchange* pDX, int nIDC, std::string& value) {
    HWND control = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        const LRESULT selected = SendMessageA(control, LB_GETCURSEL, 0, 0);
        value = selected >= 0 ? itemText(control, LB_GETTEXTLEN, LB_GETTEXT, static_cast<WPARAM>(selected))
                              : std::string();
        return;
    }
    if (SendMessageA(control, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.c_str())) ==
        LB_ERR) {
        SendMessageA(control, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    }
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) {
    HWND control = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) index = static_cast<int>(SendMessageA(control, LB_GETCURSEL, 0, 0));
    else SendMessageA(control, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control) {
    if (control.m_hWnd != nullptr) return;
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (!control.Attach(hWnd)) pDX->Fail();
}

void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int nChars) {
    HWND control = pDX->LastControl();
    if (!pDX->m_bSaveAndValidate) {
        if (control != nullptr) SendMessageA(control, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
        return;
    }
    if (value.size() > static_cast<size_t>(nChars)) {
        failWith(pDX, "Please enter no more than " + std::to_string(nChars) + " characters.");
    }
}
