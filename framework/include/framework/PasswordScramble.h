// Keeps the password in the configuration file from being stored as plain text.
//
// The scrambled form is 32 groups "#<0..255>". The pseudo-random sequence is the classic
// C runtime's linear-congruential generator, implemented here rather than taken from the
// platform's rand(), so a file written on one machine reads the same password on any other.
#pragma once

#include <string>

/// The scrambled text of `password` (its first 32 characters); empty for an empty password.
std::string ScramblePassword(const std::string& password);

/// The password in `scrambled`; empty when the text is empty or does not begin with '#'.
std::string UnscramblePassword(const std::string& scrambled);
