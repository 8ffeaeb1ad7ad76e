// Loading system libraries from the system folder, also where the system does
// not know LOAD_LIBRARY_SEARCH_SYSTEM32 (Windows 7 without its update): a loader
// that refuses the flag as such a system does stands in for LoadLibraryExA.
#include "win/SystemFunction.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Call {
    std::string name;
    DWORD flags;
};
std::vector<Call> calls;

HMODULE WINAPI RefusingTheFlag(LPCSTR name, HANDLE file, DWORD flags) {
    calls.push_back({name, flags});
    if (flags & LOAD_LIBRARY_SEARCH_SYSTEM32) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return ::LoadLibraryExA(name, file, flags);
}

HMODULE WINAPI MissingLibrary(LPCSTR name, HANDLE, DWORD flags) {
    calls.push_back({name, flags});
    ::SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

std::string SystemFolder() {
    char folder[MAX_PATH] = {};
    return std::string(folder, ::GetSystemDirectoryA(folder, MAX_PATH));
}

TEST(SystemLibrary, WhereTheSearchFlagIsRefused_TheFullPathInTheSystemFolderIsLoaded) {
    calls.clear();
    HMODULE module = win::LoadSystemLibrary("comdlg32.dll", RefusingTheFlag);
    ASSERT_NE(module, nullptr);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].name, "comdlg32.dll");
    EXPECT_EQ(calls[0].flags, DWORD(LOAD_LIBRARY_SEARCH_SYSTEM32));
    EXPECT_EQ(calls[1].name, SystemFolder() + "\\comdlg32.dll");
    EXPECT_EQ(calls[1].flags & LOAD_LIBRARY_SEARCH_SYSTEM32, 0u);
    EXPECT_NE(::GetProcAddress(module, "GetSaveFileNameW"), nullptr);
}

TEST(SystemLibrary, AnotherFailureIsNotTriedAgain_AndTheRealLoaderTakesTheFlag) {
    calls.clear();
    EXPECT_EQ(win::LoadSystemLibrary("comdlg32.dll", MissingLibrary), nullptr);
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_EQ(::GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
    EXPECT_NE(win::LoadSystemLibrary("comdlg32.dll", ::LoadLibraryExA), nullptr);
    EXPECT_NE(win::FindSystemFunction("comdlg32.dll", "GetSaveFileNameW"), nullptr);
}

}  // namespace
