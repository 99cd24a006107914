#include "extended/Profiles.h"

#include "common/Account.h"
#include "platform/RegistryValues.h"

namespace vesk::mapi32::ex {
namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(';', start);
        if (end == std::string::npos) end = text.size();
        std::string name = text.substr(start, end - start);
        while (!name.empty() && name.front() == ' ') name.erase(name.begin());
        while (!name.empty() && name.back() == ' ') name.pop_back();
        // Profile names are matched without regard to case, so "A;a" is one profile: keep the
        // first spelling, or the profile table would show the same profile twice.
        bool listed = false;
        for (const std::string& n : names) listed = listed || lower(n) == lower(name);
        if (isValidProfileName(name) && !listed) names.push_back(name);
        start = end + 1;
    }
    return names;
}

}  // namespace

bool isValidProfileName(std::string_view name) {
    // The list is read with the blanks around each name trimmed: a name with a blank at
    // either end could be saved but never found again.
    return isValidAccountName(name) && name.find(';') == std::string_view::npos && name.front() != ' ' &&
           name.back() != ' ';
}

std::vector<std::string> profileNames() {
    return splitList(readRegString(HKEY_CURRENT_USER, kProfilesKey, "Names").value_or(std::string()));
}

std::optional<std::string> findProfile(std::string_view name) {
    std::string wanted = lower(name);
    for (const std::string& p : profileNames()) {
        if (lower(p) == wanted) return p;
    }
    return std::nullopt;
}

std::string defaultProfile() {
    std::string name = readRegString(HKEY_CURRENT_USER, kProfilesKey, "DefaultProfile").value_or(std::string());
    if (!isValidProfileName(name)) return std::string();
    return findProfile(name).value_or(std::string());
}

std::optional<std::string> accountOfProfile(std::string_view name) {
    std::optional<std::string> spelled = findProfile(name);
    if (!spelled) return std::nullopt;
    return readRegString(HKEY_CURRENT_USER, std::string(kProfilesKey) + "\\" + *spelled, "Account");
}

HRESULT saveProfile(std::string_view name, std::string_view account) {
    if (!isValidProfileName(name) || !isValidAccountName(account)) return MAPI_E_INVALID_PARAMETER;
    std::optional<std::string> existing = findProfile(name);
    std::string spelled = existing.value_or(std::string(name));
    if (writeRegString(HKEY_CURRENT_USER, std::string(kProfilesKey) + "\\" + spelled, "Account",
                       std::string(account)) != ERROR_SUCCESS) {
        return MAPI_E_CALL_FAILED;
    }
    if (!existing) {
        std::string list = readRegString(HKEY_CURRENT_USER, kProfilesKey, "Names").value_or(std::string());
        list = list.empty() ? spelled : list + ";" + spelled;
        if (writeRegString(HKEY_CURRENT_USER, kProfilesKey, "Names", list) != ERROR_SUCCESS) return MAPI_E_CALL_FAILED;
    }
    if (defaultProfile().empty() &&
        writeRegString(HKEY_CURRENT_USER, kProfilesKey, "DefaultProfile", spelled) != ERROR_SUCCESS) {
        return MAPI_E_CALL_FAILED;
    }
    return S_OK;
}

}  // namespace vesk::mapi32::ex
