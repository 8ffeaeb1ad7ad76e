// UTF-8 checks for texts that cross from other processes, and cutting texts to a
// size without splitting a character. Valid means RFC 3629: no overlong forms, no
// surrogates, nothing above U+10FFFF.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace glimra {

// The length of the valid character that starts at `pos`, or 0 when the bytes
// there are not one. `pos` must be inside the text.
std::size_t Utf8CharLength(std::string_view text, std::size_t pos);

bool IsUtf8(std::string_view text);

// The text with every NUL byte and every byte that does not belong to a valid
// character replaced by `replacement`.
std::string ToUtf8(std::string_view text, char replacement);

// The longest start of the text of at most `maxBytes` bytes that does not end
// inside a character (of a valid text).
std::string_view CutUtf8(std::string_view text, std::size_t maxBytes);

}  // namespace glimra
