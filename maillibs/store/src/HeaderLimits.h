// Header fields that would cost the MIME library far more than their size. GMime looks for
// the end of every "=?" that may start an encoded word, and when none follows, each such
// start costs the rest of the field: a subject of thousands of them takes minutes. It also
// parses address groups ("name: members;") recursively, so groups nested thousands deep
// overflow the stack. No real mail has either; the offsets returned here are where a mended
// copy breaks them.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace vesk::store::detail {

/// Starts of encoded words ("=?") that no "?=" follows in the field, past the first ones a
/// reader may still be shown as they are: at each offset returned (the '?'), a blank put
/// before it keeps the text as it was read while nothing looks for the word's end.
std::vector<std::size_t> unendedEncodedWords(std::string_view field);

/// True when `name` names a field GMime reads as a list of addresses.
bool isAddressField(std::string_view name);

/// The colons of an address field's value that open groups nested deeper than groups go in
/// real mail (outside quotes, comments and angle brackets); each is to become a blank.
std::vector<std::size_t> deepGroupColons(std::string_view value);

}  // namespace vesk::store::detail
