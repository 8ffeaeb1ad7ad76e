// The graphics and window-manager objects and the memory that this process
// holds, for tests that check that nothing leaks. Under Wine GetGuiResources is
// a stub that answers 0, so the objects are counted here:
//  - GDI objects: the used entries of the process's GDI handle table, which Wine
//    (like Windows) maps into the process and names in its PEB
//    (GdiSharedHandleTable);
//  - USER objects: the windows of this process and its menus, found by asking
//    IsWindow and IsMenu about every user handle number (Wine takes a handle
//    without its generation bits for any generation). Cursors and icons are not
//    among them.
// Another process's objects are counted the same way, its handle table read
// with ReadProcessMemory; only its menus cannot be counted: Wine answers IsMenu
// for this process's own menus alone.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace glimra::test {

struct ProcessObjects {
    int gdi = 0;
    int windows = 0;
    int menus = 0;                 // -1: not counted (another process's)
    std::size_t privateBytes = 0;  // committed private memory (the page-file usage)
    std::size_t workingSet = 0;

    int User() const { return windows + (menus < 0 ? 0 : menus); }
    std::string Describe() const;
};

ProcessObjects CountProcessObjects();
// The objects of another process, opened with PROCESS_QUERY_INFORMATION and
// PROCESS_VM_READ; its menus are not counted.
ProcessObjects CountProcessObjects(HANDLE process);

}  // namespace glimra::test
