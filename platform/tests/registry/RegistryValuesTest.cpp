// Reading and writing single settings in one call.
#include <gtest/gtest.h>

#include "home/TempHome.h"
#include "platform/RegistryValues.h"

namespace {

using vesk::test::TempHome;

TEST(RegistryValues, ReadsWhatTheFileHolds) {
    TempHome home;
    vesk::test::writeBytes(home.file("registry.reg"),
                           "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Mail\\Accounts\\Ann]\r\n"
                           "\"Store\"=\"/home/ann/Maildir\"\r\n"
                           "\"Port\"=dword:00000019\r\n"
                           "\"Path\"=hex(2):25,48,25,00\r\n"
                           "\"Unterminated\"=hex(1):61,62\r\n"
                           "\"Early\"=hex(1):61,00,62,00\r\n"
                           "\"Blob\"=hex:01,02,03,04\r\n"
                           "\"Short\"=hex(4):01\r\n"
                           "@=\"default\"\r\n");
    const std::string key = "Software\\Mail\\Accounts\\Ann";
    EXPECT_EQ(vesk::readRegString(HKEY_CURRENT_USER, key, "Store"), "/home/ann/Maildir");
    EXPECT_EQ(vesk::readRegString(HKEY_CURRENT_USER, key, ""), "default");
    // Expandable strings come unexpanded; stored text ends at its first NUL or its last byte.
    EXPECT_EQ(vesk::readRegString(HKEY_CURRENT_USER, key, "Path"), "%H%");
    EXPECT_EQ(vesk::readRegString(HKEY_CURRENT_USER, key, "Unterminated"), "ab");
    EXPECT_EQ(vesk::readRegString(HKEY_CURRENT_USER, key, "Early"), "a");
    EXPECT_EQ(vesk::readRegDword(HKEY_CURRENT_USER, key, "Port"), 25u);

    // Missing keys, missing values and values of another type read as nothing.
    EXPECT_EQ(vesk::readRegString(HKEY_CURRENT_USER, "Software\\Nope", "Store"), std::nullopt);
    EXPECT_EQ(vesk::readRegString(HKEY_CURRENT_USER, key, "Nope"), std::nullopt);
    EXPECT_EQ(vesk::readRegString(HKEY_CURRENT_USER, key, "Port"), std::nullopt);
    EXPECT_EQ(vesk::readRegDword(HKEY_CURRENT_USER, key, "Store"), std::nullopt);
    EXPECT_EQ(vesk::readRegDword(HKEY_CURRENT_USER, key, "Blob"), std::nullopt);
    EXPECT_EQ(vesk::readRegDword(HKEY_CURRENT_USER, key, "Short"), std::nullopt);
    EXPECT_EQ(vesk::readRegString(HKEY_LOCAL_MACHINE, key, "Store"), std::nullopt);
}

TEST(RegistryValues, WritesCreateTheKey) {
    TempHome home;
    EXPECT_EQ(vesk::writeRegString(HKEY_LOCAL_MACHINE, "Software\\Mail\\MAPI", "MAPIX", "1"), ERROR_SUCCESS);
    EXPECT_EQ(vesk::writeRegDword(HKEY_LOCAL_MACHINE, "Software\\Mail\\MAPI", "Version", 0xA1B2C3D4u), ERROR_SUCCESS);
    EXPECT_EQ(vesk::writeRegString(HKEY_LOCAL_MACHINE, "Software\\Mail\\MAPI", "MAPIX", "2"), ERROR_SUCCESS);
    EXPECT_EQ(vesk::readRegString(HKEY_LOCAL_MACHINE, "software\\mail\\mapi", "mapix"), "2");
    EXPECT_EQ(vesk::readRegDword(HKEY_LOCAL_MACHINE, "Software\\Mail\\MAPI", "Version"), 0xA1B2C3D4u);
    EXPECT_EQ(vesk::test::readBytes(home.file("registry.reg")),
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Mail\\MAPI]\r\n"
              "\"MAPIX\"=\"2\"\r\n\"Version\"=dword:a1b2c3d4\r\n");
    EXPECT_EQ(vesk::writeRegString(HKEY_LOCAL_MACHINE, "\\Bad", "x", "y"), ERROR_BAD_PATHNAME);
}

}  // namespace
