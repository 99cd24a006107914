// A read-only IStream over a property's bytes (the body of a message, whole).
#pragma once

#include <string>

#include "mapi32/mapix.h"

namespace vesk::mapi32::ex {

IStream* makeReadStream(std::string bytes);

}  // namespace vesk::mapi32::ex
