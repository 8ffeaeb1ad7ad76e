// Times the start-up of Windows programs: from the call that creates the process to
// the first visible top-level window of that process with the given caption. The
// programs are started in turn, run after run, and each is ended once its window
// shows. Prints per program the median of the runs in milliseconds and, for every
// program after the first (the baseline), the median of its runs' ratios to the
// baseline's run just before: the machine's speed moves between runs, and a ratio
// compares two starts under the same state of it.
//   start_up_times runs baseline.exe "caption" program.exe "caption" [...]
#include <windows.h>

#include "bench/clock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD process;
    const char* caption;
    bool found;
};

BOOL CALLBACK Visit(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<Search*>(parameter);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    char caption[256];
    if (process == search.process && ::IsWindowVisible(window) &&
        ::GetWindowTextA(window, caption, sizeof caption) > 0 &&
        std::string(caption) == search.caption) {
        search.found = true;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds until the window shows, or a negative value when it does not within
// a minute.
double StartUp(const char* program, const char* caption) {
    std::string commandLine = std::string("\"") + program + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const double start = Now();
    if (!::CreateProcessA(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return -1;
    double shown = -1;
    while (Now() - start < 60000) {
        Search search{process.dwProcessId, caption, false};
        ::EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            shown = Now() - start;
            break;
        }
        ::Sleep(1);
    }
    ::TerminateProcess(process.hProcess, 0);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return shown;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc % 2 != 0) {
        std::fprintf(stderr,
                     "usage: start_up_times runs baseline.exe caption [program.exe caption ...]\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    const int programs = (argc - 2) / 2;
    std::vector<std::vector<double>> times(programs), ratios(programs);
    for (int run = 0; run < runs; ++run)
        for (int p = 0; p < programs; ++p) {
            const double time = StartUp(argv[2 + 2 * p], argv[3 + 2 * p]);
            if (time < 0) {
                std::fprintf(stderr, "%s: no window \"%s\"\n", argv[2 + 2 * p], argv[3 + 2 * p]);
                return 1;
            }
            times[p].push_back(time);
            ratios[p].push_back(time / times[0].back());
        }
    for (int p = 0; p < programs; ++p) {
        std::sort(times[p].begin(), times[p].end());
        std::sort(ratios[p].begin(), ratios[p].end());
        std::printf("%-40s %8.1f ms (median of %d; fastest %.1f, slowest %.1f)", argv[2 + 2 * p],
                    times[p][runs / 2], runs, times[p].front(), times[p].back());
        if (p > 0) std::printf("  %.2f x the baseline", ratios[p][runs / 2]);
        std::printf("\n");
    }
    return 0;
}
