// The program's windows made in-process as at start-up, in a fresh folder of
// their own as the current directory (with an empty "Lang" folder in it), and the
// settings key removed first, so that each test starts as a first run.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Settings.h"
#include "app/Unit3.h"
#include "testing/app/WindowsWithoutReminder.h"
#include "forms/Unit1.h"
#include "forms/Unit2.h"
#include "testing/desktop/Program.h"
#include "ui/TApplication.h"
#include "ui/TTimer.h"

namespace glimra::test {

class ProgramForms : public ::testing::Test {
  protected:
    ProgramForms() {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = TestFolder(std::string(test->test_suite_name()) + "-" + test->name());
        ::SetCurrentDirectoryA(folder.c_str());
        DeleteTree("Lang");
        ::CreateDirectoryA("Lang", nullptr);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, UseTestSettingsKey());
        InitializeProgram(application);
        application.OnException = [this](const std::string& text) { reports.push_back(text); };
    }
    ~ProgramForms() override {
        // The main window's close ends the loop with a quit message: not for the next test.
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    // Creates the start-up windows; the reminder's countdown is stopped so
    // that it does not disable the main window under the test.
    void Start() { OpenWindowsWithoutReminder(application); }
    // Handles waiting messages and timer ticks for a while.
    void Pump(DWORD milliseconds = 60) { application.HandleMessagesUntil(nullptr, milliseconds); }

    // Writes a file (relative to the test's folder) with exactly these bytes.
    static void WriteFile(const std::string& path, const std::string& bytes) {
        ASSERT_TRUE(WriteBytes(path, bytes)) << path;
    }
    static void DeleteTree(const std::string& folder) {
        WIN32_FIND_DATAA found;
        HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName;
                if (name == "." || name == "..") continue;
                const std::string path = folder + "\\" + name;
                ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    DeleteTree(path);
                else
                    ::DeleteFileA(path.c_str());
            } while (::FindNextFileA(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryA(folder.c_str());
    }

    std::string folder;
    std::vector<std::string> reports;  // before the application, which reports into it
    ui::TApplication application;
};

}  // namespace glimra::test
