// The built-in recogniser as the program loads it (64-bit, run by hand under
// Wine from the build folder): what loading glimra_ocr.dll with the English
// model adds to the process's private bytes and working set, what a read and
// the unloading leave, the time to load and to read one line ("File Edit View"
// in 9-point Tahoma scaled three times), and what the DLL itself says of
// damaged model bytes handed to it without the program's check.
//   tesseract_dll_times [build folder]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ocr/windows/gdi_text_line.h"
#include "ocr/windows/tesseract_dll.h"

namespace {

using Clock = std::chrono::steady_clock;
using glimra::ocr::GdiTextLine;
using glimra::ocr::GrayImage;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

struct Memory {
    double privateMiB, workingSetMiB;
};

Memory Now() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(),
                           reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    // Private bytes: Wine leaves PrivateUsage at 0 and counts them as the
    // committed bytes (PagefileUsage), which Windows also reports alike.
    const SIZE_T privateBytes =
        counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
    return {privateBytes / 1048576.0, counters.WorkingSetSize / 1048576.0};
}

void Print(const char* step, Memory m, Memory base) {
    std::printf("%-28s private %7.1f MiB (%+6.1f)  working set %7.1f MiB (%+6.1f)\n", step,
                m.privateMiB, m.privateMiB - base.privateMiB, m.workingSetMiB,
                m.workingSetMiB - base.workingSetMiB);
}

// Damaged model bytes straight into the DLL's open, as no program of ours hands
// them over: an error or a reader, but the process must live on.
void Damaged(const std::string& folder) {
    std::ifstream in(folder + "\\tessdata\\eng.traineddata", std::ios::binary);
    const std::string good{std::istreambuf_iterator<char>(in), {}};
    HMODULE dll = ::LoadLibraryA((folder + "\\glimra_ocr.dll").c_str());
    if (!dll) return;
    const auto open = reinterpret_cast<glimra_ocr_open_fn>(
        reinterpret_cast<void*>(::GetProcAddress(dll, "glimra_ocr_open")));
    const auto close = reinterpret_cast<glimra_ocr_close_fn>(
        reinterpret_cast<void*>(::GetProcAddress(dll, "glimra_ocr_close")));
    std::string garbage(good.size(), '\0');
    unsigned state = 12345;
    for (char& c : garbage)
        c = char((state = state * 1103515245u + 12345u) >> 24);
    std::string flipped = good;
    for (std::size_t i = 4096; i < flipped.size(); i += 65536)
        flipped[i] = char(~flipped[i]);
    const std::pair<const char*, std::string> cases[] = {
        {"zero bytes", ""},
        {"first 100 bytes", good.substr(0, 100)},
        {"first third", good.substr(0, good.size() / 3)},
        {"all but the last byte", good.substr(0, good.size() - 1)},
        {"garbage of the same size", garbage},
        {"every 64 KiB a byte inverted", flipped},
    };
    for (const auto& [name, bytes] : cases) {
        char why[256] = {};
        glimra_ocr_reader* reader = open(bytes.data(), bytes.size(), "eng", why, sizeof why);
        std::printf("damaged model, %-28s %s%s\n", name,
                    reader ? "opened" : "refused: ", reader ? "" : why);
        close(reader);
    }
    ::FreeLibrary(dll);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : ".";
    const GrayImage line = GdiTextLine("File Edit View", 12, 4, 3);  // 9 points at 96 dpi
    const Memory base = Now();
    Print("before loading", base, base);
    for (int round = 1; round <= 2; ++round) {
        glimra::ocr::LoadError error;
        const auto t0 = Clock::now();
        auto engine = glimra::ocr::TesseractDll::Load(folder, "eng", error);
        const auto t1 = Clock::now();
        if (!engine) {
            std::printf("cannot load: %s\n", error.text.c_str());
            return 1;
        }
        std::printf("round %d: loaded in %.1f ms (the check of the model's SHA-256 included)\n",
                    round, Ms(t1 - t0));
        Print("  loaded", Now(), base);
        std::vector<double> times;
        std::string text;
        for (int i = 0; i < 21; ++i) {
            const auto r0 = Clock::now();
            const auto words = engine->ReadLine(line);
            times.push_back(Ms(Clock::now() - r0));
            if (i == 0) {
                for (const auto& w : words)
                    text += (text.empty() ? "" : " ") + w.text;
                Print("  after the first read", Now(), base);
            }
        }
        const double first = times.front();
        std::sort(times.begin() + 1, times.end());
        std::printf(
            "  read \"%s\" (%dx%d): first %.1f ms, median of 20 more %.1f ms, fastest "
            "%.1f ms\n",
            text.c_str(), line.width, line.height, first, times[10], times[1]);
        Print("  after 21 reads", Now(), base);
        engine.reset();
        Print("  unloaded", Now(), base);
    }
    Damaged(folder);
    Print("at the end", Now(), base);
    return 0;
}
