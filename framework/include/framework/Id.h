// CId: an owned, opaque byte string (a message identifier). Only the backend that made the
// bytes knows their meaning; the framework copies and archives them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/Object.h"

class CId : public CObject {
public:
    /// Copies `size` bytes from `data`; empty when either is null/zero.
    explicit CId(const void* data = nullptr, uint32_t size = 0);
    CId(const CId& other);
    CId& operator=(const CId& other);
    ~CId() override;

    /// Frees the old bytes, then copies `size` bytes from `data` when both are given.
    /// An allocation failure leaves the identifier empty and reports nothing.
    void Set(const void* data, uint32_t size);
    /// The bytes (null when empty) and their count.
    const unsigned char* Data() const { return m_data; }
    uint32_t Size() const { return m_size; }
    bool IsEmpty() const { return m_size == 0; }

    /// Storing: the size as 4 bytes, then the bytes. Loading: frees the old bytes, reads the
    /// size and that many bytes; the identifier ends empty (and false comes back) when the
    /// archive cannot deliver them.
    bool Serialize(CArchive& ar) override;

    static const CRuntimeClass classCId;  ///< "CId", schema 1
    const CRuntimeClass* GetRuntimeClass() const override { return &classCId; }

    uint32_t m_size = 0;            ///< number of bytes, 0 exactly when m_data is null
    unsigned char* m_data = nullptr;
};
