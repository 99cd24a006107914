// Registration of the serial classes an archive can create by name.
#pragma once

#include "framework/Object.h"

/// A static object of this type adds a class to the registry when the library starts.
struct RuntimeClassRegistration {
    explicit RuntimeClassRegistration(const CRuntimeClass* cls);
};
