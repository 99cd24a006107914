// Dunmere's settings record: which mail system the user set up and the MAPI profile to log on
// with. Kept in the conduit's configuration file:
//
//   [MapiPlugin]                 MsgHostName     = <mail-system name>
//   [MapiPlugin <mail system>]   UserMAPIProfile = <profile name>
//
// Section and key names are strings of the language library.
#pragma once

#include <string>

class CMapiSettings {
public:
    /// Reads the record from `configFile` for mail system `hostName` (empty: the one the file
    /// names as current). Returns 0 and changes nothing for an empty file name; returns 1 and
    /// changes nothing when no mail system is named; otherwise fills the record and returns 1.
    /// Missing values read as empty.
    int Load(const char* configFile, const char* hostName);

    /// Writes the record into `configFile`, but only when both fields are non-empty. Returns 0
    /// for an empty file name, else 1 (also when nothing was written).
    int Save(const char* configFile) const;

    /// Empties both fields.
    void Clear();
    /// True when the mail-system name is not empty.
    bool IsSet() const { return !m_hostName.empty(); }

    const std::string& HostName() const { return m_hostName; }
    const std::string& Profile() const { return m_profile; }
    void Set(const std::string& hostName, const std::string& profile);

private:
    std::string m_hostName;
    std::string m_profile;
};
