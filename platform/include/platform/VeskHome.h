// The desktop folder: where everything a Windows desktop would hold lives (registry.reg, mail
// stores, post offices, profile files given by bare name).
#pragma once

#include <string>

#include "win32/Export.h"

namespace vesk {

/// The desktop folder, read from the environment on every call: `$VESK_HOME` when set and not
/// empty, else `$XDG_DATA_HOME/vesk`, else `$HOME/.local/share/vesk` (the password database's
/// home folder when `$HOME` is unset). No trailing '/'. The folder may not exist yet.
VESK_EXPORT std::string home();

}  // namespace vesk
