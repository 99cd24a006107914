// CArchive: the binary object format of the application framework's archives, enough of it
// for the message classes: little-endian integers, counted strings with 1/3/7-byte length
// prefixes, and objects written behind a class tag that names their run-time class and schema.
//
// A storing archive appends to a byte buffer; a loading archive reads from caller's bytes and
// never reads past their end. Reads report failure instead of throwing, and a length prefix
// that claims more bytes than remain fails before anything is allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CObject;
struct CRuntimeClass;

class CArchive {
public:
    /// A storing archive that appends to its own buffer.
    CArchive();
    /// A loading archive over `size` bytes at `data`; the bytes must outlive the archive.
    CArchive(const void* data, size_t size);

    bool IsStoring() const { return m_storing; }
    bool IsLoading() const { return !m_storing; }
    /// The bytes written so far (storing archives).
    const std::vector<uint8_t>& Bytes() const { return m_out; }
    /// Bytes not yet read (loading archives).
    size_t Remaining() const { return m_size - m_pos; }

    void WriteByte(uint8_t v);
    void WriteWord(uint16_t v);
    void WriteDword(uint32_t v);
    void WriteBytes(const void* data, size_t size);
    /// A string with its length prefix: 1 byte below 255; 0xFF and 2 bytes below 0xFFFE;
    /// else 0xFF, 0xFFFF and 4 bytes. No terminating NUL is written.
    void WriteString(const std::string& s);

    /// Each read returns false, and leaves the output alone, when the bytes run out.
    bool ReadByte(uint8_t& v);
    bool ReadWord(uint16_t& v);
    bool ReadDword(uint32_t& v);
    bool ReadBytes(void* data, size_t size);
    /// Reads a counted string. A length beyond the remaining bytes fails without allocating.
    /// Strings stored as UTF-16 (the 0xFFFE marker) are narrowed, characters above 0xFF as '?'.
    bool ReadString(std::string& s);

    /// Writes `obj` behind its class tag: the first object of a class writes the new-class tag,
    /// the schema and the class name; later ones refer to the class by its index. Null writes
    /// the null tag.
    void WriteObject(const CObject* obj);
    /// Reads an object written by WriteObject: creates it through its run-time class and lets
    /// it load itself with the schema found in the archive. Null for the null tag or on failure
    /// (`ok` tells the two apart when given). The caller owns the result.
    CObject* ReadObject(bool* ok = nullptr);
    /// The schema of the object being loaded by ReadObject.
    uint16_t GetObjectSchema() const { return m_schema; }

private:
    bool m_storing;
    std::vector<uint8_t> m_out;
    const uint8_t* m_in = nullptr;
    size_t m_size = 0;
    size_t m_pos = 0;
    uint16_t m_schema = 0;
    // Indices shared by classes and objects, from 1, as the tags count them.
    uint32_t m_mapCount = 1;
    std::vector<std::pair<const CRuntimeClass*, uint32_t>> m_storedClasses;
    struct LoadedClass {
        uint32_t index;
        const CRuntimeClass* cls;
        uint16_t schema;  ///< as found in the archive, which may differ from the class's own
    };
    std::vector<LoadedClass> m_loadedClasses;
};
