// How the handheld and its messages look on the terminal (UTF-8).
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "handheld/Handheld.h"

namespace conduit {

/// A Windows-1252 field (subject, name, address, file name) as UTF-8 for the terminal, with
/// every control character and escape sequence made a visible placeholder
/// (platform/TerminalText.h): nothing a sender wrote can drive the terminal.
std::string shown(const std::string& cp1252);
/// The same for a text of several lines (a body, a plug-in's description): line ends are
/// kept, CR LF becomes LF.
std::string shownText(const std::string& cp1252);
/// A UTF-8 text from the command line in Windows-1252, as the plug-ins take it; characters
/// the code page lacks become '?'.
std::string typed(const std::string& utf8);
/// A record time (seconds since 1970, UTC) as local "YYYY-MM-DD HH:MM"; "-" for 0.
std::string formatTime(std::int32_t seconds);
/// The state letters of a message: '*' unread, 'D' to delete, 'r' read state or 'p'
/// priority to carry, '!' high or '-' low priority, 'R'/'S' receipts asked for, '?' held.
std::string stateLetters(const HandheldMessage& message, Folder folder);

/// The heading of `printMessageLine`.
void printListHeading(std::ostream& out);
/// One line per message: number, folder, state, date, sender or recipients, subject.
void printMessageLine(std::ostream& out, const HandheldMessage& message, Folder folder);
/// The whole message, headers and body.
void printMessage(std::ostream& out, const HandheldMessage& message, Folder folder);
/// Every message of the handheld (or one folder), with the heading.
void printHandheld(std::ostream& out, const Handheld& handheld, const Folder* only = nullptr);

}  // namespace conduit
