// CObject and run-time class records: the small part of the application framework's object
// model that archives need. A serial class registers a CRuntimeClass with its name, schema
// and a factory, so an archive can write the name and create the object again when loading.
#pragma once

#include <cstdint>

class CArchive;
class CObject;

struct CRuntimeClass {
    const char* m_lpszClassName;
    uint16_t m_wSchema;
    CObject* (*m_pfnCreateObject)();

    /// Creates a new object of the class (null when it cannot be allocated).
    CObject* CreateObject() const { return m_pfnCreateObject != nullptr ? m_pfnCreateObject() : nullptr; }
    /// The registered class with this name, or null.
    static const CRuntimeClass* FromName(const char* name, uint16_t length);
};

class CObject {
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const = 0;
    /// Writes or reads the members. Loading returns false when the archive is short or malformed.
    virtual bool Serialize(CArchive& ar) = 0;

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};
