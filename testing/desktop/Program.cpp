#include "testing/desktop/Program.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

namespace glimra::test {

std::string WindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string w = "Z:" + path;
    for (char& c : w)
        if (c == '/') c = '\\';
    return w;
}

std::string ProgramPath() {
    const auto args = ::testing::internal::GetArgvs();
    if (args.size() < 2) throw std::runtime_error("the test needs the program's path");
    return WindowsPath(args[1]);
}

bool InThrowAwayPrefix() {
    return std::getenv("GLIMRA_WINE_STATE") != nullptr;
}

std::string TestFolder(const std::string& name) {
    const char* root = std::getenv("GLIMRA_TEST_OUTPUT");
    std::string folder = WindowsPath(root ? root : ".") + "\\" + name;
    std::string partial;
    for (std::size_t i = 0; i <= folder.size(); ++i) {
        if (i == folder.size() || folder[i] == '\\') ::CreateDirectoryA(partial.c_str(), nullptr);
        if (i < folder.size()) partial += folder[i];
    }
    return folder;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    return ::CloseHandle(file) && ok;
}

Program::Program(const std::string& exe, const std::string& workDir) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + exe + "\"";
    if (!::CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          workDir.c_str(), &startup, &process_))
        throw std::runtime_error("cannot start " + exe + ": error " +
                                 std::to_string(::GetLastError()));
}

Program::~Program() {
    Kill();
    ::CloseHandle(process_.hThread);
    ::CloseHandle(process_.hProcess);
}

namespace {

struct Search {
    DWORD process;
    const std::string* caption;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM data) {
    auto* s = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != s->process || !::IsWindowVisible(window)) return TRUE;
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof text);
    if (*s->caption != text) return TRUE;
    s->found = window;
    return FALSE;
}

}  // namespace

HWND Program::WaitForWindow(const std::string& caption, DWORD milliseconds) const {
    const DWORD start = ::GetTickCount();
    for (;;) {
        Search s{process_.dwProcessId, &caption, nullptr};
        ::EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
        if (s.found) return s.found;
        if (::GetTickCount() - start > milliseconds) return nullptr;
        ::Sleep(20);
    }
}

namespace {

struct Collect {
    DWORD process;
    std::string text;
};

BOOL CALLBACK Describe(HWND window, LPARAM data) {
    auto* c = reinterpret_cast<Collect*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != c->process) return TRUE;
    char text[256] = {}, cls[64] = {};
    ::GetWindowTextA(window, text, sizeof text);
    ::GetClassNameA(window, cls, sizeof cls);
    c->text += std::string(::IsWindowVisible(window) ? "[visible] " : "[hidden] ") + cls + " \"" +
               text + "\"";
    // A message box's message.
    char message[512] = {};
    if (std::string(cls) == "#32770" && ::GetDlgItemTextA(window, 0xFFFF, message, sizeof message))
        c->text += std::string(": ") + message;
    c->text += "\n";
    return TRUE;
}

}  // namespace

std::string Program::DescribeWindows() const {
    Collect c{process_.dwProcessId, {}};
    ::EnumWindows(Describe, reinterpret_cast<LPARAM>(&c));
    DWORD code = 0;
    ::GetExitCodeProcess(process_.hProcess, &code);
    if (code != STILL_ACTIVE) c.text += "the program has ended with code " + std::to_string(code);
    return c.text.empty() ? "the program has no windows" : c.text;
}

void Program::Kill() {
    if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process_.hProcess, 99);
        ::WaitForSingleObject(process_.hProcess, 5000);
    }
}

bool Program::WaitForExit(DWORD milliseconds) {
    return ::WaitForSingleObject(process_.hProcess, milliseconds) == WAIT_OBJECT_0;
}

DWORD Program::ExitCode() const {
    DWORD code = 0;
    ::GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

}  // namespace glimra::test
