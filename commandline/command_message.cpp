#include "commandline/command_message.h"

#include <cstring>

#include "commandline/command_line.h"
#include "commandline/utf8_text.h"

namespace glimra {

namespace {

constexpr std::size_t kMagicBytes = 8;
constexpr char kArgumentsMagic[kMagicBytes + 1] = "GLIMRA1\0";
constexpr char kAnswerMagic[kMagicBytes + 1] = "GLIMRA1A";

// The bytes of a message, taken from the front; a read past the end fails and
// every later one with it.
class Reader {
  public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), left_(data ? size : 0) {}

    bool Magic(const char* magic) {
        if (!Has(kMagicBytes) || std::memcmp(data_, magic, kMagicBytes) != 0) return Fail();
        Skip(kMagicBytes);
        return true;
    }

    bool Uint32(std::uint32_t& value) {
        if (!Has(4)) return Fail();
        value = static_cast<std::uint32_t>(data_[0]) | static_cast<std::uint32_t>(data_[1]) << 8 |
                static_cast<std::uint32_t>(data_[2]) << 16 |
                static_cast<std::uint32_t>(data_[3]) << 24;
        Skip(4);
        return true;
    }

    // A text of `length` bytes that must be UTF-8 without NUL bytes.
    bool Text(std::uint32_t length, std::string& text) {
        if (!Has(length)) return Fail();
        std::string_view bytes(reinterpret_cast<const char*>(data_), length);
        if (bytes.find('\0') != std::string_view::npos || !IsUtf8(bytes)) return Fail();
        text.assign(bytes);
        Skip(length);
        return true;
    }

    bool AtEnd() const { return ok_ && left_ == 0; }

  private:
    bool Has(std::size_t bytes) const { return ok_ && left_ >= bytes; }
    void Skip(std::size_t bytes) {
        data_ += bytes;
        left_ -= bytes;
    }
    bool Fail() {
        ok_ = false;
        return false;
    }

    const std::uint8_t* data_;
    std::size_t left_;
    bool ok_ = true;
};

// Bytes appended by growing the vector and copying into it (GCC 12 takes a
// range insert after a reserve for an overflow and warns).
void PutBytes(std::vector<std::uint8_t>& out, const void* bytes, std::size_t count) {
    const std::size_t at = out.size();
    out.resize(at + count);
    if (count > 0) std::memcpy(out.data() + at, bytes, count);
}

void PutMagic(std::vector<std::uint8_t>& out, const char* magic) {
    PutBytes(out, magic, kMagicBytes);
}

void PutUint32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutText(std::vector<std::uint8_t>& out, std::string_view text) {
    PutUint32(out, static_cast<std::uint32_t>(text.size()));
    PutBytes(out, text.data(), text.size());
}

bool IsExitCode(std::uint32_t code) {
    return code <= kExitFailed;
}

}  // namespace

std::vector<std::uint8_t> EncodeArguments(const std::vector<std::string>& args) {
    if (args.size() > kMaxMessageArguments) return {};
    std::size_t total = kMagicBytes + 4;
    for (const std::string& arg : args) {
        // Each term stays below the limit, so the sum cannot wrap.
        if (arg.size() > kMaxMessageBytes) return {};
        total += 4 + arg.size();
        if (total > kMaxMessageBytes) return {};
        if (arg.find('\0') != std::string::npos || !IsUtf8(arg)) return {};
    }
    std::vector<std::uint8_t> out;
    out.reserve(total);
    PutMagic(out, kArgumentsMagic);
    PutUint32(out, static_cast<std::uint32_t>(args.size()));
    for (const std::string& arg : args)
        PutText(out, arg);
    return out;
}

std::optional<std::vector<std::string>> DecodeArguments(const std::uint8_t* data,
                                                        std::size_t size) {
    if (size > kMaxMessageBytes) return std::nullopt;
    Reader reader(data, size);
    std::uint32_t count = 0;
    if (!reader.Magic(kArgumentsMagic) || !reader.Uint32(count)) return std::nullopt;
    if (count > kMaxMessageArguments) return std::nullopt;
    std::vector<std::string> args(count);
    for (std::string& arg : args) {
        std::uint32_t length = 0;
        if (!reader.Uint32(length) || !reader.Text(length, arg)) return std::nullopt;
    }
    if (!reader.AtEnd()) return std::nullopt;
    return args;
}

std::vector<std::uint8_t> EncodeAnswer(int exitCode, std::string_view text) {
    std::string clean = ToUtf8(text, '?');
    std::string_view sent = CutUtf8(clean, kMaxAnswerTextBytes);
    std::uint32_t code = exitCode >= 0 && IsExitCode(static_cast<std::uint32_t>(exitCode))
                             ? static_cast<std::uint32_t>(exitCode)
                             : static_cast<std::uint32_t>(kExitFailed);
    std::vector<std::uint8_t> out;
    out.reserve(kMagicBytes + 8 + sent.size());
    PutMagic(out, kAnswerMagic);
    PutUint32(out, code);
    PutText(out, sent);
    return out;
}

std::optional<CommandAnswer> DecodeAnswer(const std::uint8_t* data, std::size_t size) {
    Reader reader(data, size);
    std::uint32_t code = 0, length = 0;
    if (!reader.Magic(kAnswerMagic) || !reader.Uint32(code) || !IsExitCode(code) ||
        !reader.Uint32(length) || length > kMaxAnswerTextBytes) {
        return std::nullopt;
    }
    CommandAnswer answer;
    answer.exitCode = static_cast<int>(code);
    if (!reader.Text(length, answer.text) || !reader.AtEnd()) return std::nullopt;
    return answer;
}

}  // namespace glimra
