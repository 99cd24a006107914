// Joins lines that a mail program broke softly and keeps real line breaks.
#pragma once

#include <cstddef>
#include <string>

/// Copies `length` bytes of `source` into `dest`, joining soft line breaks, and ends `dest`
/// with a NUL. `dest` must hold at least `length` + 1 bytes; joining never lengthens the text.
///
/// A CR is kept when it lies 42 characters or fewer after the last kept break (at first the
/// start of the text), when fewer than 3 characters remain from it on, when the next line is
/// empty, or when the next line, from its second character on and after spaces, starts with
/// NUL, CR, LF, a digit or punctuation. Otherwise the break is joined: white space already
/// written is removed, one space is written, and copying goes on with the next line's first
/// character that is not a blank.
void UnwrapLines(char* dest, const char* source, size_t length);

/// The same over a string: the unwrapped text of `source`.
std::string UnwrapLines(const std::string& source);
