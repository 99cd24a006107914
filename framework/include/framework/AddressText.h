// Recipient lists and single addresses as the handheld writes them: free text that must be
// cut into entries, split into display name and address, and judged as Internet or not.
#pragma once

#include <string>

/// White space as the C library's isspace sees it in the "C" locale.
bool IsBlank(char c);
/// Removes white space at the right end / left end / both ends.
void TrimRight(std::string& s);
void TrimLeft(std::string& s);
void Trim(std::string& s);

/// Takes the first entry off `list` (entries are cut at ';', ',', LF and CR; quotes are not
/// special) and returns it trimmed; `list` keeps what follows the first delimiter, or becomes
/// empty when there is none. An empty or all-delimiter list gives an empty entry.
std::string GetNextListEntry(std::string& list);

/// Rewrites `list` as its non-empty trimmed entries joined by "\n" and returns their number.
int NormalizeAddressList(std::string& list);

/// Trims `text`, then removes enclosing quotes (" or ', the same at both ends) as long as
/// there are any; the text is not trimmed again between passes.
std::string StripQuotes(const std::string& text);

/// The display-name part of an address written as `Name <address>` or `address (Name)`;
/// otherwise the whole (quote-stripped) text.
std::string GetDisplayNamePart(const std::string& address);

/// The address part of `Name <address>` or `address (Name)`; otherwise the whole
/// (quote-stripped) text.
std::string GetAddressPart(const std::string& address);

/// 1 when `address` (optionally prefixed "smtp:", any case) looks like an Internet address:
/// longer than 4 characters, an '@' neither first nor last, more than 2 characters after it
/// with a '.' that is not their last character. Otherwise 0.
int IsInternetAddress(const std::string& address);
