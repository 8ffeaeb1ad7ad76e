// Dotted version texts ("1.0", "1.2.3.4") as the language component compares
// them: up to four parts, missing parts count as 0, and each part is kept as an
// unsigned 16-bit number (only the low 16 bits of the number written count). A
// text that cannot be read as such a version counts as 0.0.0.0.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lang {

// The number of "." characters in the text.
int CountDots(std::string_view text);

// Pads the version to four parts: while it has fewer than three dots, appends "."
// (unless the text is empty or already ends in ".") and then "0". So "" becomes
// "0.0.0.0" and both "1" and "1." become "1.0.0.0"; a text with more than three
// dots is left as it is.
void NormalizeVersion(std::string& version);

// Reads the version, padded by NormalizeVersion, into two words: part 1 in the
// high and part 2 in the low 16 bits of `ms`, parts 3 and 4 likewise in `ls`.
// The first three parts are the texts before the first, second and third ".",
// the fourth is the rest. Each part is a decimal number with an optional sign
// that fits in 32 signed bits; when any part is not (empty, a letter, a fourth
// part holding another "."), both words are 0.
void ParseVersion(std::string_view version, std::uint32_t& ms, std::uint32_t& ls);

// True exactly when version a is lower than version b, part by part from the
// first, each compared as an unsigned 16-bit number. Equal versions are not older.
bool IsOlderVersion(std::string_view a, std::string_view b);

}  // namespace lang
