#include "testing/desktop/ProcessObjects.h"

#include <windows.h>

#include <psapi.h>
#include <winternl.h>

#include <cstdint>

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

int CountGdiObjects() {
    PROCESS_BASIC_INFORMATION basic{};
    if (::NtQueryInformationProcess(::GetCurrentProcess(), ProcessBasicInformation, &basic,
                                    sizeof basic, nullptr) != 0)
        return -1;
    const auto* peb = reinterpret_cast<const char*>(basic.PebBaseAddress);
    const auto* table = *reinterpret_cast<const GdiHandleEntry* const*>(peb + kGdiTableOffset);
    if (!table) return -1;
    int used = 0;
    for (int i = 0; i < kGdiHandles; ++i)
        if (table[i].type) ++used;
    return used;
}

}  // namespace

ProcessObjects CountProcessObjects() {
    ProcessObjects counts;
    counts.gdi = CountGdiObjects();
    const DWORD self = ::GetCurrentProcessId();
    // User handles are even numbers from 0x20 on, below 0xFFF0.
    for (std::uintptr_t h = 0x20; h < 0xFFF0; h += 2) {
        const auto window = reinterpret_cast<HWND>(h);
        DWORD owner = 0;
        if (::IsWindow(window) && ::GetWindowThreadProcessId(window, &owner) && owner == self)
            ++counts.windows;
        if (::IsMenu(reinterpret_cast<HMENU>(h))) ++counts.menus;
    }
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (::GetProcessMemoryInfo(::GetCurrentProcess(),
                               reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                               sizeof memory)) {
        counts.privateBytes = memory.PagefileUsage;
        counts.workingSet = memory.WorkingSetSize;
    }
    return counts;
}

std::string ProcessObjects::Describe() const {
    return "GDI objects " + std::to_string(gdi) + ", USER objects " + std::to_string(User()) +
           " (windows " + std::to_string(windows) + ", menus " + std::to_string(menus) +
           "), private memory " + std::to_string(privateBytes / 1024) + " KiB, working set " +
           std::to_string(workingSet / 1024) + " KiB";
}

}  // namespace glimra::test
