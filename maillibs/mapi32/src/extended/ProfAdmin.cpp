// MAPIAdminProfiles and IProfAdmin: the profile list of the registry as a table, and the
// default profile.
#include "extended/Com.h"
#include "extended/Profiles.h"
#include "extended/Subsystem.h"
#include "extended/Table.h"
#include "platform/RegistryValues.h"

namespace vesk::mapi32::ex {
namespace {

constexpr std::size_t kMaxName = 64;

std::string callerName(LPSTR text) { return text == nullptr ? std::string() : std::string(text, ::strnlen(text, kMaxName + 1)); }

class ProfAdmin final : public ComObject<IProfAdmin> {
public:
    ProfAdmin() : ComObject({&IID_IProfAdmin}) {}

    HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR* lppMAPIError) override {
        if (lppMAPIError != nullptr) *lppMAPIError = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetProfileTable(ULONG, LPMAPITABLE* lppTable) override {
        return guardedCall([&]() -> HRESULT {
            if (lppTable == nullptr) return MAPI_E_INVALID_PARAMETER;
            *lppTable = nullptr;
            std::string fallback = defaultProfile();
            std::vector<PropList> rows;
            for (const std::string& name : profileNames()) {
                PropList row;
                row.push_back(textProp(PR_DISPLAY_NAME, name));
                row.push_back(boolProp(PR_DEFAULT_PROFILE, name == fallback));
                rows.push_back(std::move(row));
            }
            *lppTable = makeTable(std::make_unique<FixedRows>(std::move(rows)), {PR_DISPLAY_NAME, PR_DEFAULT_PROFILE});
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE CreateProfile(LPSTR, LPSTR, ULONG_PTR, ULONG) override {
        // A profile needs an account, which only the profile wizard asks for.
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE DeleteProfile(LPSTR, ULONG) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE ChangeProfilePassword(LPSTR, LPSTR, LPSTR, ULONG) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE CopyProfile(LPSTR, LPSTR, LPSTR, ULONG_PTR, ULONG) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE RenameProfile(LPSTR, LPSTR, LPSTR, ULONG_PTR, ULONG) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE SetDefaultProfile(LPSTR lpszProfileName, ULONG) override {
        return guardedCall([&]() -> HRESULT {
            std::optional<std::string> spelled = findProfile(callerName(lpszProfileName));
            if (!spelled) return MAPI_E_NOT_FOUND;
            return writeRegString(HKEY_CURRENT_USER, kProfilesKey, "DefaultProfile", *spelled) == ERROR_SUCCESS
                       ? S_OK
                       : MAPI_E_CALL_FAILED;
        });
    }
    HRESULT STDMETHODCALLTYPE AdminServices(LPSTR, LPSTR, ULONG_PTR, ULONG, LPSERVICEADMIN*) override {
        return MAPI_E_NO_SUPPORT;
    }
};

}  // namespace
}  // namespace vesk::mapi32::ex

extern "C" MAPI32_API HRESULT WINAPI MAPIAdminProfiles(ULONG ulFlags, LPPROFADMIN* lppProfAdmin) {
    return vesk::mapi32::ex::guardedCall([&]() -> HRESULT {
        if (lppProfAdmin == nullptr) return MAPI_E_INVALID_PARAMETER;
        *lppProfAdmin = nullptr;
        if ((ulFlags & ~MAPI_UNICODE) != 0) return MAPI_E_UNKNOWN_FLAGS;
        if ((ulFlags & MAPI_UNICODE) != 0) return MAPI_E_BAD_CHARWIDTH;
        if (!vesk::mapi32::ex::subsystemInitialised()) return MAPI_E_NOT_INITIALIZED;
        *lppProfAdmin = new vesk::mapi32::ex::ProfAdmin();
        return S_OK;
    });
}
