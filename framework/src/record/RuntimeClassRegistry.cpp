#include "RuntimeClassRegistry.h"

#include <cstring>
#include <vector>

namespace {

// A function-local table, so registrations from any translation unit's static objects find
// it constructed whatever the order of initialisation.
std::vector<const CRuntimeClass*>& registry() {
    static std::vector<const CRuntimeClass*> classes;
    return classes;
}

}  // namespace

RuntimeClassRegistration::RuntimeClassRegistration(const CRuntimeClass* cls) { registry().push_back(cls); }

const CRuntimeClass* CRuntimeClass::FromName(const char* name, uint16_t length) {
    for (const CRuntimeClass* cls : registry()) {
        if (std::strlen(cls->m_lpszClassName) == length && std::memcmp(cls->m_lpszClassName, name, length) == 0) {
            return cls;
        }
    }
    return nullptr;
}
