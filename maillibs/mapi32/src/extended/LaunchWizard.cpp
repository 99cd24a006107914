// LAUNCHWIZARD: makes a profile through the window system. A dialog asks for the profile's
// name, the account it uses and that account's password (when it has one); the profile is
// saved only once all three check out. The person's cancel is MAPI_E_USER_CANCEL.
#include <cstring>
#include <string>

#include "common/Account.h"
#include "extended/Com.h"
#include "extended/Profiles.h"
#include "mapi32_ids.h"
#include "win32/Dialog.h"
#include "win32/Module.h"
#include "win32/Window.h"

extern "C" const unsigned char vesk_mapi32_resources[];
extern "C" const unsigned char vesk_mapi32_resources_end[];

namespace vesk::mapi32::ex {
namespace {

constexpr int kMaxField = 256;

struct WizardRun {
    std::size_t capacity = 0;  // the caller's buffer for the name, terminator included
    std::string profile;       // the profile saved, once OK succeeded
};

std::string fieldText(HWND dialog, int id) {
    char text[kMaxField] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// Checks the dialog's fields and saves the profile; the reason when it cannot.
std::string saveFromDialog(HWND dialog, WizardRun& run) {
    std::string name = fieldText(dialog, MAPI32_IDC_PROFILE_NAME);
    std::string accountName = fieldText(dialog, MAPI32_IDC_ACCOUNT);
    if (!isValidProfileName(name)) return "Give the profile a name of 1 to 64 characters without \\ or ; and without a blank at either end.";
    if (name.size() + 1 > run.capacity) {
        return "Give the profile a shorter name: at most " + std::to_string(run.capacity - 1) + " characters.";
    }
    if (findProfile(name)) return "There is a profile of that name already.";
    AccountError error = AccountError::None;
    std::optional<Account> account =
        isValidAccountName(accountName) ? loadAccount(accountName, error) : std::optional<Account>();
    if (!account) return "There is no mail account \"" + accountName + "\" (HKEY_CURRENT_USER\\Software\\Vesk\\Mail\\Accounts).";
    if (!account->password.empty() && fieldText(dialog, MAPI32_IDC_PASSWORD) != account->password) {
        return "The password is not the account's password.";
    }
    if (FAILED(saveProfile(name, account->name))) return "The profile could not be written to the registry.";
    run.profile = name;
    return std::string();
}

INT_PTR wizardProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* run = reinterpret_cast<WizardRun*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        for (int id : {MAPI32_IDC_PROFILE_NAME, MAPI32_IDC_ACCOUNT}) SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, 64, 0);
        SendDlgItemMessageA(dialog, MAPI32_IDC_PASSWORD, EM_LIMITTEXT, kMaxField - 1, 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK && run != nullptr) {
            std::string problem;
            try {
                problem = saveFromDialog(dialog, *run);
            } catch (...) {
                problem = "The profile could not be made.";
            }
            if (problem.empty()) {
                EndDialog(dialog, IDOK);
            } else {
                SetDlgItemTextA(dialog, MAPI32_IDC_PROBLEM, problem.c_str());
            }
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

// This library's module with its dialog attached (once per load).
HMODULE ownModule() {
    static HMODULE self = [] {
        HMODULE module = VeskModuleFromAddress(reinterpret_cast<const void*>(&wizardProc));
        if (module != nullptr &&
            !VeskAttachResources(module, vesk_mapi32_resources,
                                 static_cast<size_t>(vesk_mapi32_resources_end - vesk_mapi32_resources))) {
            module = nullptr;
        }
        return module;
    }();
    return self;
}

}  // namespace
}  // namespace vesk::mapi32::ex

using namespace vesk::mapi32::ex;

extern "C" MAPI32_API HRESULT WINAPI LAUNCHWIZARD(HWND hParentWnd, ULONG, LPCSTR*, ULONG cbBufferMax,
                                                  LPSTR lpszNewProfileName) {
    return guardedCall([&]() -> HRESULT {
        if (lpszNewProfileName == nullptr || cbBufferMax == 0) return MAPI_E_INVALID_PARAMETER;
        lpszNewProfileName[0] = '\0';
        HMODULE module = ownModule();
        if (module == nullptr) return MAPI_E_CALL_FAILED;
        WizardRun run;
        run.capacity = cbBufferMax;
        INT_PTR answer = DialogBoxParamA(module, MAKEINTRESOURCEA(MAPI32_IDD_PROFILE_WIZARD), hParentWnd, wizardProc,
                                         reinterpret_cast<LPARAM>(&run));
        if (answer == IDCANCEL) return MAPI_E_USER_CANCEL;
        if (answer != IDOK || run.profile.empty()) return MAPI_E_CALL_FAILED;
        std::memcpy(lpszNewProfileName, run.profile.c_str(), run.profile.size() + 1);
        return S_OK;
    });
}
