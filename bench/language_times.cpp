// Times the language component of the program in-process, on the program's own
// windows as start-up makes them:
//  - the main window made beside a languages folder of 200 files, and beside an
//    empty one, in turn: what listing the files adds to the start-up;
//  - a file that names every text of the open windows: looking the texts up when
//    each one is there already, applying them when each one changes, the tray
//    icon's share of that (its hint goes to the notification area), and the whole
//    load from the file (read, apply, menu bar, labels);
//  - the load of a file of two lines of 10 MB.
// Prints per line the median, fastest and slowest of the runs in milliseconds, and
// the goal beside it: 5 ms to look up or apply every text (7.5 ms in the 64-bit
// build under 64-bit Wine), 300 ms added by 200 files, 20 s for the 10 MB lines.
// Its files lie in test-output/language_times (GLIMRA_TEST_OUTPUT, else the
// current folder).
//   language_times [runs]
#include <windows.h>

#include "bench/clock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Startup.h"
#include "app/Unit3.h"
#include "lang/windows/TMultiLanguage.h"
#include "testing/app/OpenWindowTexts.h"
#include "testing/app/WindowsWithoutReminder.h"
#include "testing/desktop/Program.h"
#include "ui/TApplication.h"
#include "ui/TMenuItem.h"

namespace {

using namespace glimra::test;

struct Line {
    const char* name;
    double goal;  // milliseconds; 0 for none
    std::vector<double> times;

    void Print() {
        std::sort(times.begin(), times.end());
        std::printf("%-34s %9.2f ms (median of %zu; fastest %.2f, slowest %.2f)", name,
                    times[times.size() / 2], times.size(), times.front(), times.back());
        if (goal > 0) std::printf("  goal %g ms", goal);
        std::printf("\n");
        std::fflush(stdout);
    }
};

double Timed(const std::function<void()>& work) {
    const double start = Now();
    work();
    return Now() - start;
}

// A folder with a "Lang" folder in it, made when missing; its full path.
std::string FolderWithLanguages(const std::string& name) {
    const std::string folder = TestFolder("language_times\\" + name);
    ::CreateDirectoryA((folder + "\\Lang").c_str(), nullptr);
    char full[MAX_PATH];
    const DWORD length = ::GetFullPathNameA(folder.c_str(), MAX_PATH, full, nullptr);
    return length && length < MAX_PATH ? std::string(full, length) : folder;
}

bool Write(const std::string& path, const std::string& bytes) {
    if (WriteBytes(path, bytes)) return true;
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const std::string full = FolderWithLanguages("200-files"), bare = FolderWithLanguages("none"),
                      windows = FolderWithLanguages("windows");
    for (int i = 0; i < 200; ++i) {
        const std::string n = std::to_string(i);
        if (!Write(full + "\\Lang\\language" + n + ".lng",
                   "[General]\r\nLanguageName=Language " + n +
                       "\r\nAuthor=Someone\r\n[MAIN]\r\nMenuFile.Caption=&File " + n + "\r\n"))
            return 1;
    }
    // No language remembered from an earlier run applies at start-up.
    ::RegDeleteTreeA(HKEY_CURRENT_USER, UseTestSettingsKey());
    ui::TApplication application;
    InitializeProgram(application);

    // Start-ups with and without the files take turns, so that a busy moment of
    // the machine weighs on both alike.
    Line withFiles{"main window, 200 language files", 0, {}};
    Line withoutFiles{"main window, no language files", 0, {}};
    Line added{"  added by the 200 files", 300, {}};
    const auto startUp = [&](const std::string& folder, int entries, Line& line) {
        ::SetCurrentDirectoryA(folder.c_str());
        std::unique_ptr<TMAIN> main;
        line.times.push_back(Timed([&] { main.reset(ui::TForm::Make<TMAIN>(&application)); }));
        const int listed = main->Get<ui::TMenuItem>("MenuLanguage").Count();
        if (listed == entries) return true;
        std::fprintf(stderr, "%s: %d languages listed, not %d\n", folder.c_str(), listed, entries);
        return false;
    };
    for (int run = 0; run < runs; ++run) {
        if (!startUp(full, 200, withFiles) || !startUp(bare, 0, withoutFiles)) return 1;
        added.times.push_back(withFiles.times.back() - withoutFiles.times.back());
    }

    // Every text of the open windows, with a mark after the text it has now: two
    // files with different marks change every text each time.
    ::SetCurrentDirectoryA(windows.c_str());
    OpenWindowsWithoutReminder(application);
    const OpenWindowTexts star = TextsOfOpenWindows(application, " *"),
                          plus = TextsOfOpenWindows(application, " +");
    std::string file;
    for (const std::string& line : star.lines)
        file += line + "\r\n";
    if (!Write("Lang\\every.lng", file)) return 1;
    lang::TMultiLanguage& ml = MAIN->Get<lang::TMultiLanguage>("MultiLanguage1");
    ui::TComponent& tray = MAIN->Get<ui::TComponent>("TrayIcon1");
    ml.LoadLanguage("Lang\\every.lng");
    // The windows' start-up settles first (their first paints, the tray icon's
    // registration with the notification area): in its midst every call to the
    // system waits on it.
    application.HandleMessagesUntil(nullptr, 300);
    const double goal = sizeof(void*) == 4 ? 5.0 : 7.5;
    Line same{"look up every text, none changes", goal, {}};
    Line apply{"apply every text, each changes", goal, {}};
    Line trayHint{"  of it the tray icon's hint", 0, {}};
    Line load{"load the file, every text changes", 0, {}};
    for (int run = 0; run < runs; ++run) {
        same.times.push_back(Timed([&] { ml.ApplyToAllForms(); }));
        ml.SetLanguageStrings(plus.lines);
        apply.times.push_back(Timed([&] { ml.ApplyToAllForms(); }));
        ml.SetLanguageStrings(star.lines);
        trayHint.times.push_back(Timed([&] { ml.ApplyToComponent(tray, *MAIN); }));
        load.times.push_back(Timed([&] { ml.LoadLanguage("Lang\\every.lng"); }));
    }
    if (TextsOfOpenWindows(application, "").lines != star.lines) {
        std::fprintf(stderr, "the windows do not show the file's texts\n");
        return 1;
    }

    // Two lines of 10 MB, with texts before, between and after them.
    const std::string huge(10 * 1024 * 1024, 'x');
    if (!Write("Lang\\long.lng", "[General]\r\nLanguageName=Long\r\n[MAIN]\r\nMenuEdit.Caption=" +
                                     huge + "\r\nButtonCapture.Hint=Aufnahme\r\n" + huge +
                                     "\r\nMenuFile.Caption=&Datei\r\n"))
        return 1;
    Line longLines{"load a file of two 10 MB lines", 20000, {}};
    for (int run = 0; run < runs; ++run) {
        longLines.times.push_back(Timed([&] { ml.LoadLanguage("Lang\\long.lng"); }));
        ml.LoadLanguage("Lang\\every.lng");
    }
    ::DeleteFileA("Lang\\long.lng");

    std::printf("%d texts of %d components of the open windows, %d runs a line\n", star.texts,
                star.components, runs);
    for (Line* line :
         {&withFiles, &withoutFiles, &added, &same, &apply, &trayHint, &load, &longLines})
        line->Print();
    return 0;
}
