// Functions of system libraries that older systems lack, found at run time so
// that the program still starts there.
#pragma once

#include <windows.h>

// The function `name` of the system library `library` (looked for in the system
// folder only; it stays loaded), or null where either is missing:
// OptionalFunction<decltype(::DwmGetWindowAttribute)>("dwmapi.dll", "DwmGetWindowAttribute").
template <class Function>
Function* OptionalFunction(const char* library, const char* name) {
    HMODULE module = ::GetModuleHandleA(library);
    if (!module) module = ::LoadLibraryExA(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module ? reinterpret_cast<Function*>(
                        reinterpret_cast<void*>(::GetProcAddress(module, name)))
                  : nullptr;
}
