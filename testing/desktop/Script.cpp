#include "testing/desktop/Script.h"

#include <thread>

#include "testing/desktop/Program.h"

namespace glimra::test {

namespace {

// Reads a pipe to its end on a thread of its own, so that neither pipe fills.
std::thread Drain(HANDLE pipe, std::string& into) {
    return std::thread([pipe, &into] {
        char buffer[4096];
        DWORD read = 0;
        while (::ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) && read > 0)
            into.append(buffer, read);
    });
}

}  // namespace

ScriptRun RunGlimra(const std::string& args, const std::string& in) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite;
    ::CreatePipe(&outRead, &outWrite, &inherit, 0);
    ::CreatePipe(&errRead, &errWrite, &inherit, 0);
    ::SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    std::string line = "\"" + ProgramPath() + "\" " + args;
    PROCESS_INFORMATION process{};
    ScriptRun run;
    const bool started = ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                          in.empty() ? nullptr : in.c_str(), &startup, &process);
    // Only the child holds the pipes' writing ends now: they end when it does.
    ::CloseHandle(outWrite);
    ::CloseHandle(errWrite);
    if (started) {
        std::thread out = Drain(outRead, run.out), err = Drain(errRead, run.err);
        ::WaitForSingleObject(process.hProcess, 120000);
        ::GetExitCodeProcess(process.hProcess, &run.exitCode);
        out.join();
        err.join();
        ::CloseHandle(process.hProcess);
        ::CloseHandle(process.hThread);
    }
    ::CloseHandle(outRead);
    ::CloseHandle(errRead);
    return run;
}

}  // namespace glimra::test
