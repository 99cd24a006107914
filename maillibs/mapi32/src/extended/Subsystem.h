// Whether the caller has initialised the subsystem (MAPIInitialize without its matching
// MAPIUninitialize yet): logons and profile administration need it.
#pragma once

namespace vesk::mapi32::ex {

bool subsystemInitialised();

}  // namespace vesk::mapi32::ex
