#include "MapiDesktop.h"

#include <filesystem>
#include <fstream>

#include "platform/RegistryValues.h"
#include "win32/Registry.h"
#include "store/Store.h"

void PrepareMapiAccount(const std::string& home) {
    std::filesystem::create_directories(home + "/mail");
    vesk::store::openMaildir(home + "/mail/anna", {.create = true});
    const std::string key = "Software\\Vesk\\Mail\\Accounts\\anna";
    vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\Mail", "DefaultAccount", "anna");
    vesk::writeRegString(HKEY_CURRENT_USER, key, "Maildir", "mail/anna");
    vesk::writeRegString(HKEY_CURRENT_USER, key, "Password", "s3cret");
    vesk::writeRegString(HKEY_CURRENT_USER, key, "DisplayName", "Anna Berg");
    vesk::writeRegString(HKEY_CURRENT_USER, key, "Address", "anna.berg@example.org");
    vesk::writeRegString(HKEY_CURRENT_USER, key, "AddressBook", "mail/anna-addresses.txt");
    std::ofstream(home + "/mail/anna-addresses.txt") << "Bob Hansen <bob@example.com>\n";
}

void UseImapForMapiAccount(const std::string&, const ImapAccount& account) {
    const std::string key = "Software\\Vesk\\Mail\\Accounts\\anna";
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_ALL_ACCESS, &handle) == ERROR_SUCCESS) {
        RegDeleteValueA(handle, "Maildir");
        RegCloseKey(handle);
    }
    vesk::writeRegString(HKEY_CURRENT_USER, key, "Imap", account.url);
    vesk::writeRegString(HKEY_CURRENT_USER, key, "ImapPassword", account.password);
    vesk::writeRegString(HKEY_CURRENT_USER, key, "ImapCAFile", account.caFile);
}

void PrepareMapiProfile(const std::string& home) {
    PrepareMapiAccount(home);
    vesk::writeRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows Messaging Subsystem", "MAPIX", "1");
    vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\Mail\\Profiles", "Names", "Teo");
    vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\Mail\\Profiles", "DefaultProfile", "Teo");
    vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\Mail\\Profiles\\Teo", "Account", "anna");
}
