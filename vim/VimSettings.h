// Orvek's settings record: which mail system the user set up and what a VIM logon needs. Kept in
// the conduit's configuration file:
//
//   [VimPlugin]               MsgHostName     = <host name>
//   [VimPlugin <host name>]   UserAccount     = <cc:Mail user name>
//                             UserData        = <password, scrambled>
//                             PostOfficePath  = <post office folder>
//                             InternetGateway = <cc:Mail name of the Internet gateway>
//
// Section and key names are strings of the language library. The settings of every mail system
// ever saved stay in their own section; MsgHostName says which one is current.
#pragma once

#include <string>

class CVimSettings {
public:
    /// Reads the record from `configFile` for mail system `hostName` (empty: the one the file
    /// names as current). False, with the record unchanged, for an empty file name or when no
    /// mail system is named; otherwise fills all five texts (missing keys read as empty).
    bool Load(const char* configFile, const char* hostName);

    /// Writes the record into `configFile`. 0 for an empty file name; 1 otherwise, also when
    /// nothing is written because the host name, the user account or the post office path is
    /// empty. Write errors of the file are not detected.
    int Save(const char* configFile) const;

    /// Empties all five texts.
    void Clear();
    /// True when the host name is not empty.
    bool IsConfigured() const { return !m_hostName.empty(); }

    const std::string& HostName() const { return m_hostName; }
    const std::string& UserAccount() const { return m_userAccount; }
    const std::string& Password() const { return m_password; }
    const std::string& PostOfficePath() const { return m_postOfficePath; }
    const std::string& InternetGateway() const { return m_internetGateway; }
    void SetHostName(const std::string& value) { m_hostName = value; }
    void SetUserAccount(const std::string& value) { m_userAccount = value; }
    void SetPassword(const std::string& value) { m_password = value; }
    void SetPostOfficePath(const std::string& value) { m_postOfficePath = value; }
    void SetInternetGateway(const std::string& value) { m_internetGateway = value; }

private:
    std::string m_hostName;
    std::string m_userAccount;
    std::string m_password;  ///< plain in memory, scrambled in the file
    std::string m_postOfficePath;
    std::string m_internetGateway;
};
