// Salvith's settings record: which mail program the user set up, the account passed to the
// mail library as profile name, and its password. Kept in the conduit's configuration file:
//
//   [SmapiPlugin]                 MsgHostName = <host name>
//   [SmapiPlugin <host name>]     UserAccount = <account>
//                                 UserData    = <password, scrambled>
//
// Section and key names are strings of the language library.
#pragma once

#include <string>

class CSmapiSettings {
public:
    /// Reads the record from `configFile` for mail program `hostName` (empty: the one the file
    /// names as current). Returns 0 and changes nothing for an empty file name; returns 1 and
    /// changes nothing when no mail program is named; otherwise fills the record and returns 1.
    /// Missing values read as empty.
    int Load(const char* configFile, const char* hostName);

    /// Writes the record into `configFile` (nothing when the host name is empty). Returns 0 for
    /// an empty file name, else 1; write errors of the file are not detected.
    int Save(const char* configFile) const;

    /// Empties the record.
    void Clear();
    /// True when the host name is not empty.
    bool IsSet() const { return !m_hostName.empty(); }

    const std::string& HostName() const { return m_hostName; }
    const std::string& UserAccount() const { return m_userAccount; }
    const std::string& Password() const { return m_password; }
    void Set(const std::string& hostName, const std::string& userAccount, const std::string& password);

private:
    std::string m_hostName;
    std::string m_userAccount;
    std::string m_password;  ///< plain in memory, scrambled in the file
};
