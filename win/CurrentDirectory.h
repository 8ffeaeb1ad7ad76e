// The process's current folder, put back when a scope ends. The language files
// are found through a folder relative to it, so the program's file dialogs must
// leave it where it was: OFN_NOCHANGEDIR alone does not, since Windows ignores it
// in the open dialog and Wine's dialogs can still move it.
#pragma once

#include <windows.h>

#include <string>

namespace win {

class CurrentDirectoryKept {
  public:
    CurrentDirectoryKept() {
        const DWORD length = ::GetCurrentDirectoryW(0, nullptr);
        folder_.resize(length);
        if (length == 0 || ::GetCurrentDirectoryW(length, folder_.data()) >= length)
            folder_.clear();
        else
            folder_.resize(length - 1);
    }
    ~CurrentDirectoryKept() {
        if (!folder_.empty()) ::SetCurrentDirectoryW(folder_.c_str());
    }
    CurrentDirectoryKept(const CurrentDirectoryKept&) = delete;
    CurrentDirectoryKept& operator=(const CurrentDirectoryKept&) = delete;

  private:
    std::wstring folder_;
};

}  // namespace win
