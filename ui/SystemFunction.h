// Functions of the system libraries that only some commands need: the common
// dialogs (save, print, colour) and the shutter's sound. They are found when first
// called rather than at start-up, where loading comdlg32 and winmm, with the
// printing, COM and sound libraries they bring in, would delay the main window.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

#include "ui/SystemError.h"

namespace ui {

// The function `name` of the system library `library` (looked for in the system
// folder only), with the type of its declaration: SystemFunction<decltype(::PlaySoundA)>.
// A library or function that cannot be found throws, with the system's reason.
template <class Function>
Function* SystemFunction(const char* library, const char* name) {
    HMODULE module = ::LoadLibraryExA(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    FARPROC function = module ? ::GetProcAddress(module, name) : nullptr;
    if (!function)
        throw std::runtime_error(std::string(name) + " of " + library +
                                 " is not available: " + SystemErrorText(::GetLastError()));
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(function));
}

}  // namespace ui
