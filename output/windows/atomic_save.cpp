#include "output/windows/atomic_save.h"

#include <algorithm>
#include <utility>

#include "output/save_error.h"
#include "win/Utf8.h"

namespace glimra {

namespace {

// The message is a window text: the UTF-8 path in the ANSI code page.
[[noreturn]] void Fail(const std::string& what, const std::string& path, DWORD error) {
    throw SaveError(what + " " + win::AnsiFromUtf8(path) + ": " + SystemErrorText(error));
}

// How long a file in use is waited for: kMoveAttempts moves, kMoveRetryMs apart.
constexpr int kMoveAttempts = 20;
constexpr DWORD kMoveRetryMs = 50;

// The folder part of `path` (up to its last separator), or "." for a bare name.
std::wstring FolderOf(const std::wstring& path) {
    const std::size_t end = path.find_last_of(L"\\/");
    if (end == std::wstring::npos) return L".";
    // "C:\shot.bmp" keeps the separator of the root.
    return path.substr(0, end == 0 || (end == 2 && path[1] == L':') ? end + 1 : end);
}

// The temporary file: removed again unless it was put in the target's place.
class TemporaryFile {
  public:
    explicit TemporaryFile(const std::string& path) {
        // The wide-character functions, so that a folder of any name will do.
        wchar_t name[MAX_PATH];
        if (::GetTempFileNameW(FolderOf(win::WidePath(path)).c_str(), L"glm", 0, name) == 0)
            Fail("Cannot create the file", path, ::GetLastError());
        name_ = name;
        file_ = ::CreateFileW(name, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file_ == INVALID_HANDLE_VALUE) {
            const DWORD error = ::GetLastError();
            ::DeleteFileW(name);
            Fail("Cannot create the file", path, error);
        }
    }
    ~TemporaryFile() {
        if (file_ != INVALID_HANDLE_VALUE) ::CloseHandle(file_);
        if (!name_.empty()) ::DeleteFileW(name_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    HANDLE Handle() const { return file_; }

    // Closes the file and moves it over `path`.
    void Replace(const std::string& path) {
        const HANDLE file = std::exchange(file_, INVALID_HANDLE_VALUE);
        if (!::CloseHandle(file)) Fail("Cannot write the file", path, ::GetLastError());
        const std::wstring target = win::WidePath(path);
        // A read-only file is not replaced (Windows refuses it; Wine would not).
        const DWORD attributes = ::GetFileAttributesW(target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            Fail("Cannot replace the file", path, ERROR_ACCESS_DENIED);
        if (!MoveIntoPlace(name_, target)) Fail("Cannot replace the file", path, ::GetLastError());
        name_.clear();
    }

  private:
    std::wstring name_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
};

}  // namespace

void HandleSink::Write(const std::uint8_t* data, std::size_t size) {
    // WriteFile takes 32-bit counts: at most 1 GiB a call.
    while (size > 0) {
        const DWORD part = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file_, data, part, &written, nullptr) || written != part) {
            const DWORD error = ::GetLastError();
            throw SaveError("Cannot write the file: " +
                            SystemErrorText(error != 0 ? error : ERROR_DISK_FULL));
        }
        data += part;
        size -= part;
    }
}

void SaveAtomically(const std::string& path, const std::function<void(ByteSink&)>& write) {
    TemporaryFile temporary(path);
    HandleSink sink(temporary.Handle());
    write(sink);
    temporary.Replace(path);
}

bool MoveIntoPlace(const std::wstring& from, const std::wstring& to) {
    for (int attempt = 1;; ++attempt) {
        if (::MoveFileExW(from.c_str(), to.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = ::GetLastError();
        if (attempt == kMoveAttempts ||
            (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED &&
             error != ERROR_LOCK_VIOLATION))
            return false;
        ::Sleep(kMoveRetryMs);
        ::SetLastError(error);
    }
}

}  // namespace glimra
