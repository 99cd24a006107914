// Extended MAPI profiles, kept in the registry beside the accounts they use (see
// CONFIGURATION.md): each profile names one account of HKCU\Software\Vesk\Mail\Accounts,
// and one profile may be the default.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mapi32/mapix.h"

namespace vesk::mapi32::ex {

/// Key of the profiles: the list ("Names", separated by ';') and the default.
inline constexpr const char* kProfilesKey = "Software\\Vesk\\Mail\\Profiles";

/// True when `name` can name a profile: as an account name, without ';' and without a blank
/// at either end.
bool isValidProfileName(std::string_view name);

/// The profiles in the order the list gives them (names that are not valid are skipped).
std::vector<std::string> profileNames();

/// The default profile's name as the list spells it, or "" when none is set or it is not
/// in the list.
std::string defaultProfile();

/// The list's spelling of profile `name` (compared without regard to case), or nothing.
std::optional<std::string> findProfile(std::string_view name);

/// The account profile `name` uses, or nothing when there is no such profile.
std::optional<std::string> accountOfProfile(std::string_view name);

/// Adds profile `name` using `account` (replacing the account of an existing one); it
/// becomes the default when there is none yet. S_OK, MAPI_E_INVALID_PARAMETER for a bad
/// name, MAPI_E_CALL_FAILED when the registry cannot be written.
HRESULT saveProfile(std::string_view name, std::string_view account);

}  // namespace vesk::mapi32::ex
