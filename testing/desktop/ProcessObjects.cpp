#include "testing/desktop/ProcessObjects.h"

#include <windows.h>

#include <psapi.h>
#include <winternl.h>

#include <cstdint>
#include <vector>

namespace glimra::test {

namespace {

// One entry of the GDI handle table, as Wine lays it out for 32-bit and 64-bit
// processes alike.
struct GdiHandleEntry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint16_t unique;
    std::uint8_t type;  // 0: free
    std::uint8_t flags;
    std::uint64_t userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24);

constexpr int kGdiHandles = 0x10000;
// Where the PEB keeps GdiSharedHandleTable.
constexpr std::size_t kGdiTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;

int CountGdiObjects(HANDLE process) {
    PROCESS_BASIC_INFORMATION basic{};
    if (::NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic,
                                    nullptr) != 0)
        return -1;
    const auto* peb = reinterpret_cast<const char*>(basic.PebBaseAddress);
    const GdiHandleEntry* table = nullptr;
    if (!::ReadProcessMemory(process, peb + kGdiTableOffset, &table, sizeof table, nullptr) ||
        !table)
        return -1;
    std::vector<GdiHandleEntry> entries(kGdiHandles);
    if (!::ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof entries[0],
                             nullptr))
        return -1;
    int used = 0;
    for (const GdiHandleEntry& entry : entries)
        if (entry.type) ++used;
    return used;
}

struct Windows {
    DWORD owner;
    int count;
};

BOOL CALLBACK CountChild(HWND, LPARAM data) {
    ++reinterpret_cast<Windows*>(data)->count;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM data) {
    auto* w = reinterpret_cast<Windows*>(data);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process != w->owner) return TRUE;
    ++w->count;
    ::EnumChildWindows(window, CountChild, data);  // all descendants
    return TRUE;
}

// The windows that belong to `owner`; its menus, when it is this process. This
// process asks about every user handle; another one's windows are enumerated,
// top-level (shown or not), their descendants and the message-only ones, as
// each question about another process's handle is a trip to the server.
void CountUserObjects(DWORD owner, ProcessObjects& counts) {
    if (owner != ::GetCurrentProcessId()) {
        Windows w{owner, 0};
        ::EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&w));
        for (HWND m = nullptr; (m = ::FindWindowExA(HWND_MESSAGE, m, nullptr, nullptr));)
            CountTopLevel(m, reinterpret_cast<LPARAM>(&w));
        counts.windows = w.count;
        counts.menus = -1;
        return;
    }
    // User handles are even numbers from 0x20 on, below 0xFFF0.
    for (std::uintptr_t h = 0x20; h < 0xFFF0; h += 2) {
        const auto window = reinterpret_cast<HWND>(h);
        DWORD process = 0;
        if (::IsWindow(window) && ::GetWindowThreadProcessId(window, &process) && process == owner)
            ++counts.windows;
        if (::IsMenu(reinterpret_cast<HMENU>(h))) ++counts.menus;
    }
}

void CountMemory(HANDLE process, ProcessObjects& counts) {
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                               sizeof memory)) {
        counts.privateBytes = memory.PagefileUsage;
        counts.workingSet = memory.WorkingSetSize;
    }
}

}  // namespace

ProcessObjects CountProcessObjects() {
    return CountProcessObjects(::GetCurrentProcess());
}

ProcessObjects CountProcessObjects(HANDLE process) {
    ProcessObjects counts;
    counts.gdi = CountGdiObjects(process);
    CountUserObjects(::GetProcessId(process), counts);
    CountMemory(process, counts);
    return counts;
}

std::string ProcessObjects::Describe() const {
    return "GDI objects " + std::to_string(gdi) + ", USER objects " + std::to_string(User()) +
           " (windows " + std::to_string(windows) +
           (menus < 0 ? std::string(", menus not counted") : ", menus " + std::to_string(menus)) +
           "), private memory " + std::to_string(privateBytes / 1024) + " KiB, working set " +
           std::to_string(workingSet / 1024) + " KiB";
}

}  // namespace glimra::test
