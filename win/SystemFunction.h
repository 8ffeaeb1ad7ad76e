// Functions of the system libraries that only some commands need: the common
// dialogs (save, print, colour) and the shutter's sound. They are found when first
// called rather than at start-up, where loading comdlg32 and winmm, with the
// printing, COM and sound libraries they bring in, would delay the main window.
#pragma once

#include <windows.h>

namespace win {

// The address of the function `name` of the system library `library`, which is
// looked for in the system folder only (LoadSystemLibrary). Throws, with the system's reason, when
// either cannot be found.
FARPROC FindSystemFunction(const char* library, const char* name);

// The system library `library` loaded from the system folder: by
// LOAD_LIBRARY_SEARCH_SYSTEM32, or, where the system refuses that flag
// (ERROR_INVALID_PARAMETER), by its full path in GetSystemDirectoryA's folder.
// `load` is LoadLibraryExA; a test passes one that refuses the flag.
using LibraryLoader = HMODULE(WINAPI*)(LPCSTR, HANDLE, DWORD);
HMODULE LoadSystemLibrary(const char* library, LibraryLoader load);

// The same, with the type of the function's declaration:
// SystemFunction<decltype(::PlaySoundA)>("winmm.dll", "PlaySoundA").
template <class Function>
Function* SystemFunction(const char* library, const char* name) {
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(FindSystemFunction(library, name)));
}

// The same for a function that older systems lack, found at run time so that the
// program still starts there: null where the library or the function is missing.
template <class Function>
Function* OptionalSystemFunction(const char* library, const char* name) {
    HMODULE module = ::GetModuleHandleA(library);
    if (!module) module = LoadSystemLibrary(library, ::LoadLibraryExA);
    return module ? reinterpret_cast<Function*>(
                        reinterpret_cast<void*>(::GetProcAddress(module, name)))
                  : nullptr;
}

// Why the last common dialog (save, print, colour) failed: comdlg32's
// CommDlgExtendedError, 0 when it was cancelled.
DWORD CommonDialogError();

}  // namespace win
