// The texts and times of a message the mail library read, as the message record carries them.
#pragma once

#include <cstdint>
#include <string>

/// Seconds since 1970 (UTC) of a Simple MAPI date "YYYY/MM/DD HH:MM" in local time. Fields
/// are read as numbers up to the next '/', ':' or blank; a missing field is 0 (a date without
/// a time is midnight). Year, month, day, hour and minute are clamped to 1970-2038, 1-12,
/// 1-31, 0-23 and 0-59. Null or empty text gives 0.
int32_t SmapiTimeFromDate(const char* text);

/// The display text of a name and an address: "address (name)", or whichever of the two is
/// known, or the name alone when both are the same. When only one is given and it is written
/// "Name <address>" (or "address (Name)"), its two parts are used. Null counts as empty.
std::string SmapiDisplayText(const char* name, const char* address);

/// A note text as the record's body: bare LF line ends (when the text holds no CR at all)
/// become CR LF, then softly broken lines are joined. Null gives an empty body.
std::string SmapiBodyFromNoteText(const char* noteText);
