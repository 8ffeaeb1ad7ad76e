#include "win/SystemFunction.h"

#include <commdlg.h>

#include <stdexcept>
#include <string>

#include "win/SystemError.h"

namespace win {

FARPROC FindSystemFunction(const char* library, const char* name) {
    HMODULE module = ::LoadLibraryExA(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
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
