// The way resource files name things: a resource's type and name, a dialog's menu and window
// class, and a control's text are each either a number (an "ordinal") or a text.
#pragma once

#include <string>

namespace vesk::res {

/// A number or a text. Texts are Windows-1252; the ordinal is meaningful only when
/// `isOrdinal` is set. Neither set (no ordinal, empty name) means "none".
struct NameOrOrdinal {
    bool isOrdinal = false;
    unsigned ordinal = 0;
    std::string name;

    /// True when neither a number nor a text is given.
    bool empty() const { return !isOrdinal && name.empty(); }
    /// True when this is the number `id`.
    bool is(unsigned id) const { return isOrdinal && ordinal == id; }
};

}  // namespace vesk::res
