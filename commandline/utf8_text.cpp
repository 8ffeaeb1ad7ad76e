#include "commandline/utf8_text.h"

namespace glimra {

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

}  // namespace

std::size_t Utf8CharLength(std::string_view text, std::size_t pos) {
    auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    unsigned char lead = at(0);
    if (lead < 0x80) return 1;
    std::size_t length;
    // The second byte's range; it rules out overlong forms (E0, F0), surrogates
    // (ED) and code points above U+10FFFF (F4).
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() - pos < length) return 0;
    if (at(1) < low || at(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (!IsContinuation(at(i))) return 0;
    return length;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t length = Utf8CharLength(text, pos);
        if (length == 0) return false;
        pos += length;
    }
    return true;
}

std::string ToUtf8(std::string_view text, char replacement) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t length = Utf8CharLength(text, pos);
        if (length == 0 || text[pos] == '\0') {
            result += replacement;
            ++pos;
        } else {
            result.append(text, pos, length);
            pos += length;
        }
    }
    return result;
}

std::string_view CutUtf8(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t end = maxBytes;
    while (end > 0 && IsContinuation(static_cast<unsigned char>(text[end])))
        --end;
    return text.substr(0, end);
}

}  // namespace glimra
