// The system's text for an error code, for messages that say why a step failed.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>

namespace win {

// The text of `error` ("Access denied."), on one line and without the line break
// at its end; "system error N." when the system has none.
inline std::string SystemErrorText(DWORD error) {
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = length != 0 && text ? std::string(text, length)
                                             : "system error " + std::to_string(error) + ".";
    if (text) ::LocalFree(text);
    while (!result.empty() &&
           (result.back() == '\r' || result.back() == '\n' || result.back() == ' '))
        result.pop_back();
    std::replace(result.begin(), result.end(), '\r', ' ');
    std::replace(result.begin(), result.end(), '\n', ' ');
    return result;
}

}  // namespace win
