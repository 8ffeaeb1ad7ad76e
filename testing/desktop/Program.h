// Whole-program tests: start glimra.exe as its own process, find its windows and
// drive it from outside, as a person at the desktop would.
#pragma once

#include <windows.h>

#include <string>

namespace glimra::test {

// A Linux path (as ctest passes it) as Wine sees it; other paths stay as they are.
std::string WindowsPath(const std::string& path);

// The program under test, ended when this goes.
class Program {
  public:
    // Starts the executable in the folder `workDir` (made when missing).
    Program(const std::string& exe, const std::string& workDir);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The visible top-level window of the program with that caption, waited for.
    HWND WaitForWindow(const std::string& caption, DWORD milliseconds = 20000) const;
    // The captions of the program's top-level windows (visible ones marked), for
    // messages when a window is not found.
    std::string DescribeWindows() const;
    // Ends the process at once, as the system ends a program that is still
    // running when the session ends; waits until it is gone.
    void Kill();
    // Waits for the process to end; false when it still runs after the time.
    bool WaitForExit(DWORD milliseconds);
    DWORD ExitCode() const;
    DWORD Id() const { return process_.dwProcessId; }

  private:
    PROCESS_INFORMATION process_{};
};

// The program's path, from the test's first argument.
std::string ProgramPath();
// A fresh folder for one test's files under the build folder.
std::string TestFolder(const std::string& name);
// Writes a file with exactly these bytes; false when it cannot be written.
bool WriteBytes(const std::string& path, const std::string& bytes);
// The tests run in the throw-away Wine prefix of the test harness, which names its
// state in GLIMRA_WINE_STATE: only there may they change the program's own
// settings, which elsewhere are a real user's.
bool InThrowAwayPrefix();

}  // namespace glimra::test
