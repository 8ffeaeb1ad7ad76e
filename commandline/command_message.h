// The command line as it passes from a second start of the program to the copy
// that runs, and the answer that comes back to it. Any program of the same user
// can send such a message, so the readers take nothing on trust: a message is
// read whole and exactly, or not at all.
//
// Arguments: the 8 bytes "GLIMRA1\0", the number of arguments as a little-endian
// uint32, then each argument as a little-endian uint32 length and its bytes. At
// most kMaxMessageArguments arguments and kMaxMessageBytes bytes in all; each
// argument is UTF-8 without NUL bytes.
//
// Answer: the 8 bytes "GLIMRA1A", the exit code (0 to 3, see ExitCode) as a
// little-endian uint32, the text's length as one and its bytes: UTF-8 without NUL
// bytes, at most kMaxAnswerTextBytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace glimra {

inline constexpr std::size_t kMaxMessageBytes = 64 * 1024;
inline constexpr std::size_t kMaxMessageArguments = 64;
inline constexpr std::size_t kMaxAnswerTextBytes = 16 * 1024;

// The message of these arguments; empty when they do not fit the limits above.
std::vector<std::uint8_t> EncodeArguments(const std::vector<std::string>& args);

// The arguments of a message; nothing when it breaks any rule above, is cut short
// or has bytes after its last argument.
std::optional<std::vector<std::string>> DecodeArguments(const std::uint8_t* data, std::size_t size);

struct CommandAnswer {
    int exitCode = 0;
    std::string text;  // what the second start prints: an error, or empty
    bool operator==(const CommandAnswer&) const = default;
};

// Always gives a message that DecodeAnswer reads: an exit code outside 0 to 3 is
// sent as kExitFailed, NUL bytes and bytes that are not UTF-8 as "?", and a text
// longer than kMaxAnswerTextBytes is cut at the last whole character that fits.
std::vector<std::uint8_t> EncodeAnswer(int exitCode, std::string_view text);

// The answer of a message; nothing when it breaks any rule above.
std::optional<CommandAnswer> DecodeAnswer(const std::uint8_t* data, std::size_t size);

}  // namespace glimra
