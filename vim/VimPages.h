// Orvek's part of the "Mail Setup" wizard: four pages asking for what a VIM logon needs.
//
//   CUserPage         dialog 2001  user name in 2102, password in 2103 (at most 32 characters)
//   CPostOfficePage   dialog 2000  post office path in 2100, Browse... 2101; tries a logon on Next
//   CGatewayPage      dialog 2002  Internet gateway in 2104
//   CCongratsPage     dialog 2003  mail system 2105, user 2108, post office 2106, gateway 2107;
//                                  reminder 204
//
// The pages read the wizard's setting texts on activation and write their own back on Next,
// in the order of Orvek's settings record (VimWizardValue).
#pragma once

#include <string>

#include "framework/WizardPage.h"

class COrvekApp;

/// Orvek's setting texts in the wizard, in the order of its settings record.
enum VimWizardValue : size_t {
    kVimHostName = 0,
    kVimUserAccount = 1,
    kVimPassword = 2,
    kVimPostOfficePath = 3,
    kVimInternetGateway = 4,
    kVimValueCount = 5
};

/// The longest password the settings keep (the scrambled form holds 32 characters): the field
/// takes no more, so the logon tried here is the logon every later sync makes.
constexpr int kVimPasswordLimit = 32;

class CUserPage : public CWizardPage {
public:
    /// `defaultUser` is the default login's user name; the wizard's value replaces it on
    /// every activation. `wizardHostName` is the mail system the wizard runs for, held when
    /// nothing preset a host name.
    CUserPage(const std::string& defaultUser, const std::string& wizardHostName);
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    /// An empty user name keeps the page with string 4316; otherwise stores user and password.
    LRESULT OnWizardNext() override;

    std::string m_userName;
    std::string m_password;
    std::string m_hostName;

protected:
    void OnLoadValues(const CWizardValues& values) override;

private:
    std::string m_wizardHostName;
};

class CPostOfficePage : public CWizardPage {
public:
    /// `defaultPath` is the default login's post office path, shown as the library gave it:
    /// paths here are case-sensitive, so a lower-cased path would name another folder. `host`
    /// makes the logon test (null: no test); `configFile` decides whether that test opens a
    /// session at all.
    CPostOfficePage(const std::string& defaultPath, const std::string& configFile, COrvekApp* host);
    void DoDataExchange(CDataExchange* pDX) override;
    /// Button 2101 runs the directory chooser.
    BOOL OnCmdMsg(UINT nID, int nCode) override;
    /// An empty path keeps the page with string 4318; otherwise stores it, tries a logon whose
    /// failures only inform, and moves on.
    LRESULT OnWizardNext() override;

    std::string m_postOfficePath;
    std::string m_configFile;

protected:
    void OnLoadValues(const CWizardValues& values) override;

private:
    void Browse();
    /// Tries a logon with what the wizard holds and tells the person what went wrong.
    void TestLogon(const std::string& user, const std::string& password);

    COrvekApp* m_host;
};

class CGatewayPage : public CWizardPage {
public:
    CGatewayPage();
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    LRESULT OnWizardNext() override;

    std::string m_gateway;

protected:
    void OnLoadValues(const CWizardValues& values) override;
};

class CCongratsPage : public CWizardPage {
public:
    CCongratsPage();
    void DoDataExchange(CDataExchange* pDX) override;

    std::string m_mailSystem;
    std::string m_userName;
    std::string m_postOffice;
    std::string m_gateway;

protected:
    void OnLoadValues(const CWizardValues& values) override;
};
