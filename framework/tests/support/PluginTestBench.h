// What every plug-in's unit tests set up around a host object of their own.
//
// PluginTestBench makes a temporary folder that is $VESK_HOME, points the module loader at
// the build's module folder, sets a time zone with daylight saving time (so a conversion
// through today's offset shows), and selects the plug-in's English language library as the
// resource module, as the plug-in does at start-up. tearDown() undoes all of it.
#pragma once

#include <cstddef>
#include <string>

#include "framework/Msg.h"
#include "win32/WinTypes.h"

namespace testbench {

class PluginTestBench {
public:
    /// `prefix` begins the temporary folder's name; `languageLibrary` is the file the module
    /// loader finds (e.g. "SAVIDNE.DLL"). Fails the running test when either is not possible.
    void setUp(const char* prefix, const char* languageLibrary);
    void tearDown();

    const std::string& dir() const { return m_dir; }

private:
    std::string m_dir;
    HMODULE m_language = nullptr;
    HINSTANCE m_previousResources = nullptr;
};

/// A caller's record built from a CMsg, released when it goes.
class Record {
public:
    explicit Record(const CMsg& msg);
    ~Record();
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;
    MailMsg* get() const { return m_msg; }
    MailMsg* operator->() const { return m_msg; }

private:
    MailMsg* m_msg = nullptr;
};

/// A record as GetAllMsgs hands it over: the came-from-host bit and the identifier's bytes.
CMsg fromHostBytes(const void* id, std::size_t size);

}  // namespace testbench
