// Paths inside the program are UTF-8 std::string: every name a folder can have
// fits, where the ANSI code page holds only some. They become wide-character
// strings at the system's file functions (CreateFileW, FindFirstFileW, ...),
// which take any name. Window texts stay in the ANSI code page; a text typed or
// read from a language file becomes a path through Utf8FromAnsi.
#pragma once

#include <windows.h>

#include <string>

namespace win {

// A string of one code page as wide characters; invalid sequences become U+FFFD.
inline std::wstring WideFrom(UINT codePage, const std::string& text) {
    if (text.empty()) return {};
    const int size =
        ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          size);
    return wide;
}

// Wide characters in one code page; characters it lacks become its default one.
inline std::string NarrowTo(UINT codePage, const std::wstring& wide) {
    if (wide.empty()) return {};
    const int size = ::WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                          size, nullptr, nullptr);
    return text;
}

// A UTF-8 path as the wide-character file functions take it, and back.
inline std::wstring WidePath(const std::string& utf8) {
    return WideFrom(CP_UTF8, utf8);
}
inline std::string Utf8Path(const std::wstring& wide) {
    return NarrowTo(CP_UTF8, wide);
}

// An ANSI text (a window's, a language file's) as UTF-8, and a UTF-8 path as an
// ANSI text for a message.
inline std::string Utf8FromAnsi(const std::string& ansi) {
    return NarrowTo(CP_UTF8, WideFrom(CP_ACP, ansi));
}
inline std::string AnsiFromUtf8(const std::string& utf8) {
    return NarrowTo(CP_ACP, WideFrom(CP_UTF8, utf8));
}

}  // namespace win
