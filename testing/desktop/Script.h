// glimra.exe as a script runs it: started with arguments by this process, its
// console text and exit code read back.
#pragma once

#include <windows.h>

#include <string>

namespace glimra::test {

struct ScriptRun {
    DWORD exitCode =
        0xFFFFFFFF;  // as GetExitCodeProcess gives it; this value when it did not start
    std::string out, err;
};

// The program under test (ProgramPath) with `args`, started in the folder `in`
// (this process's own where none is given), until it ends (two minutes at most).
ScriptRun RunGlimra(const std::string& args, const std::string& in = "");

}  // namespace glimra::test
