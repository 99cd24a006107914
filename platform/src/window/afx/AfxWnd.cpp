// CWnd: window objects, the handle maps, command routing and data exchange.
#include "platform/AfxWnd.h"

#include <map>
#include <memory>
#include <unordered_map>

#include "win32/MessageBox.h"
#include "win32/PropSheet.h"
#include "window/WindowObject.h"

namespace {

// Thrown by CDataExchange::Fail and caught by UpdateData: the framework ends a failed
// exchange the same way.
struct DataExchangeFailure {};

struct HandleMaps {
    std::unordered_map<HWND, CWnd*> permanent;
    std::unordered_map<HWND, std::unique_ptr<CWnd>> temporary;
    std::map<VESK_MODULE_STATE*, AFX_COMMAND_HANDLER> commandHandlers;
};

HandleMaps& maps() {
    static HandleMaps instance;
    return instance;
}

// A destroyed window takes its temporary object with it and leaves its permanent one detached.
void forgetWindow(HWND hWnd) {
    HandleMaps& m = maps();
    m.temporary.erase(hWnd);
    auto it = m.permanent.find(hWnd);
    if (it != m.permanent.end()) {
        it->second->m_hWnd = nullptr;
        m.permanent.erase(it);
    }
}

void listenForDestroy() {
    static bool listening = false;
    if (listening) return;
    listening = true;
    vesk::win::addDestroyListener(forgetWindow);
}

}  // namespace

void AfxSetCommandHandler(VESK_MODULE_STATE* state, AFX_COMMAND_HANDLER handler) {
    if (handler == nullptr) maps().commandHandlers.erase(state);
    else maps().commandHandlers[state] = handler;
}

AFX_COMMAND_HANDLER AfxGetCommandHandler(VESK_MODULE_STATE* state) {
    auto it = maps().commandHandlers.find(state);
    return it == maps().commandHandlers.end() ? nullptr : it->second;
}

CWnd::CWnd() : m_pModuleState(VeskGetModuleState()) {
    listenForDestroy();
}

CWnd::~CWnd() {
    if (m_hWnd != nullptr) Detach();
}

BOOL CWnd::Attach(HWND hWnd) {
    HandleMaps& m = maps();
    if (m_hWnd != nullptr || !::IsWindow(hWnd) || m.permanent.count(hWnd) != 0) return FALSE;
    m.temporary.erase(hWnd);
    m.permanent[hWnd] = this;
    m_hWnd = hWnd;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr) {
        auto it = maps().permanent.find(hWnd);
        if (it != maps().permanent.end() && it->second == this) maps().permanent.erase(it);
    }
    m_hWnd = nullptr;
    return hWnd;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    auto it = maps().permanent.find(hWnd);
    return it == maps().permanent.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (hWnd == nullptr || !::IsWindow(hWnd)) return nullptr;
    if (CWnd* permanent = FromHandlePermanent(hWnd)) return permanent;
    auto& temporary = maps().temporary;
    auto it = temporary.find(hWnd);
    if (it != temporary.end()) return it->second.get();
    auto wnd = std::make_unique<CWnd>();
    wnd->m_hWnd = hWnd;
    CWnd* result = wnd.get();
    temporary.emplace(hWnd, std::move(wnd));
    return result;
}

CWnd* CWnd::GetDlgItem(int nID) const {
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}

int CWnd::GetDlgCtrlID() const {
    return ::GetDlgCtrlID(m_hWnd);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

void CWnd::SetWindowText(const std::string& text) {
    ::SetWindowTextA(m_hWnd, text.c_str());
}

void CWnd::GetWindowText(std::string& text) const {
    const int length = ::GetWindowTextLengthA(m_hWnd);
    std::string buffer(static_cast<size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(m_hWnd, buffer.data(), length + 1);
    buffer.resize(static_cast<size_t>(copied));
    text = std::move(buffer);
}

std::string CWnd::GetWindowText() const {
    std::string text;
    GetWindowText(text);
    return text;
}

int CWnd::GetWindowTextLength() const {
    return ::GetWindowTextLengthA(m_hWnd);
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    return ::ShowWindow(m_hWnd, nCmdShow);
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    return ::EnableWindow(m_hWnd, bEnable);
}

BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}

BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}

void CWnd::SetFont(HFONT font, BOOL bRedraw) {
    ::SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), bRedraw);
}

HFONT CWnd::GetFont() const {
    return reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
}

CWnd* CWnd::SetFocus() {
    return FromHandle(::SetFocus(m_hWnd));
}

BOOL CWnd::DestroyWindow() {
    return ::DestroyWindow(m_hWnd);
}

void CWnd::SetDlgItemText(int nID, const std::string& text) {
    ::SetDlgItemTextA(m_hWnd, nID, text.c_str());
}

int CWnd::GetDlgItemText(int nID, std::string& text) const {
    HWND control = ::GetDlgItem(m_hWnd, nID);
    text.clear();
    if (control == nullptr) return 0;
    CWnd* wnd = FromHandle(control);
    wnd->GetWindowText(text);
    return static_cast<int>(text.size());
}

void CWnd::CheckDlgButton(int nID, UINT nCheck) {
    ::CheckDlgButton(m_hWnd, nID, nCheck);
}

UINT CWnd::IsDlgButtonChecked(int nID) const {
    return ::IsDlgButtonChecked(m_hWnd, nID);
}

LRESULT CWnd::SendDlgItemMessage(int nID, UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendDlgItemMessageA(m_hWnd, nID, message, wParam, lParam);
}

int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType) const {
    return ::MessageBoxA(m_hWnd, lpszText, lpszCaption, nType);
}

void CWnd::BeginWaitCursor() {
    VeskDoWaitCursor(1);
}

void CWnd::EndWaitCursor() {
    VeskDoWaitCursor(-1);
}

void CWnd::RestoreWaitCursor() {
    VeskDoWaitCursor(0);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const DataExchangeFailure&) {
        return FALSE;
    }
    return TRUE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (OnCommand(wParam, lParam)) return 0;
            break;
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (OnNotify(wParam, lParam, &result)) return result;
            break;
        }
        case WM_HELP:
            // F1 or a box's Help button: the same as the Help command.
            if (OnCommand(ID_HELP, 0)) return TRUE;
            break;
        default:
            break;
    }
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pUnhandled != nullptr) {
        *m_pUnhandled = true;
        return 0;
    }
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (OnCmdMsg(id, code)) return TRUE;
    for (HWND above = ::GetParent(m_hWnd); above != nullptr; above = ::GetParent(above)) {
        if (CWnd* wnd = FromHandlePermanent(above); wnd != nullptr && wnd->OnCmdMsg(id, code)) return TRUE;
    }
    // Commands (not control notifications) that no window took go to the application.
    if (lParam == 0) {
        if (AFX_COMMAND_HANDLER handler = AfxGetCommandHandler(m_pModuleState)) {
            VESK_MODULE_STATE* previous = VeskSetModuleState(m_pModuleState);
            const BOOL handled = handler(m_pModuleState->app, id, m_hWnd);
            VeskSetModuleState(previous);
            return handled;
        }
    }
    return FALSE;
}

BOOL CWnd::OnCmdMsg(UINT, int) {
    return FALSE;
}

BOOL CWnd::OnNotify(WPARAM, LPARAM, LRESULT*) {
    return FALSE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

void CWnd::AttachFromProc(CWnd* wnd, HWND hWnd) {
    if (wnd == nullptr || wnd->m_hWnd == hWnd) return;
    if (wnd->m_hWnd != nullptr) wnd->Detach();
    wnd->Attach(hWnd);
}

INT_PTR CWnd::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandlePermanent(hWnd);
    if (wnd == nullptr && message == WM_INITDIALOG) {
        wnd = reinterpret_cast<CWnd*>(lParam);
        AttachFromProc(wnd, hWnd);
    }
    if (wnd == nullptr) return FALSE;
    bool unhandled = false;
    bool* saved = wnd->m_pUnhandled;
    wnd->m_pUnhandled = &unhandled;
    const LRESULT result = wnd->WindowProc(message, wParam, lParam);
    // The object may have been detached meanwhile; it is still alive (its owner deletes it).
    wnd->m_pUnhandled = saved;
    if (message == WM_INITDIALOG) return unhandled ? TRUE : result;
    if (unhandled) return FALSE;
    if (::IsWindow(hWnd)) ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
    HWND control = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    if (control == nullptr) Fail();
    m_hWndLastControl = control;
    return control;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
    return PrepareCtrl(nIDC);
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_hWndLastControl != nullptr) ::SetFocus(m_hWndLastControl);
    throw DataExchangeFailure{};
}
