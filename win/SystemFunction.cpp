#include "win/SystemFunction.h"

#include <commdlg.h>

#include <stdexcept>
#include <string>

#include "win/SystemError.h"

namespace win {

HMODULE LoadSystemLibrary(const char* library, LibraryLoader load) {
    HMODULE module = load(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module || ::GetLastError() != ERROR_INVALID_PARAMETER) return module;
    // The flag is unknown to Windows 7 without update KB2533623 (the flag's
    // description under LoadLibraryExA,
    // https://learn.microsoft.com/windows/win32/api/libloaderapi/nf-libloaderapi-loadlibraryexa):
    // the library is named by its full path in the system folder instead.
    char folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::string path = std::string(folder, length) + "\\" + library;
    return load(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC FindSystemFunction(const char* library, const char* name) {
    HMODULE module = LoadSystemLibrary(library, ::LoadLibraryExA);
    FARPROC function = module ? ::GetProcAddress(module, name) : nullptr;
    if (!function)
        throw std::runtime_error(std::string(name) + " of " + library +
                                 " is not available: " + SystemErrorText(::GetLastError()));
    return function;
}

DWORD CommonDialogError() {
    static const auto error =
        SystemFunction<decltype(::CommDlgExtendedError)>("comdlg32.dll", "CommDlgExtendedError");
    return error();
}

}  // namespace win
