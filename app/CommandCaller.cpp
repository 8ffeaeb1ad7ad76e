#include "app/CommandCaller.h"

#include <windows.h>

#include <shellapi.h>

#include <cctype>
#include <optional>

#include "app/CommandServer.h"
#include "commandline/command_line.h"
#include "commandline/command_message.h"
#include "win/Utf8.h"

namespace {

// The console text goes where the caller reads it: the standard handles it
// gave (a pipe or a file), else the console of the window it was started from.
void Write(const std::string& text, bool error) {
    const DWORD which = error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
    HANDLE out = ::GetStdHandle(which);
    if (!out || out == INVALID_HANDLE_VALUE) {
        static const bool attached = ::AttachConsole(ATTACH_PARENT_PROCESS) != FALSE;
        if (!attached) return;
        out = ::CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                            nullptr);
        if (out == INVALID_HANDLE_VALUE) return;
    }
    DWORD written = 0;
    // The text is UTF-8; a console shows it in its own code page.
    const std::string shown =
        ::GetFileType(out) == FILE_TYPE_CHAR
            ? win::NarrowTo(::GetConsoleOutputCP(), win::WideFrom(CP_UTF8, text))
            : text;
    ::WriteFile(out, shown.data(), DWORD(shown.size()), &written, nullptr);
}

// The answer, caught by the caller's hidden window.
struct Waiting {
    std::optional<glimra::CommandAnswer> answer;
};

LRESULT CALLBACK CallerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA && lParam) {
        auto* waiting = reinterpret_cast<Waiting*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        const auto& data = *reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (waiting && data.dwData == CommandServer::kAnswer && data.lpData)
            waiting->answer =
                glimra::DecodeAnswer(static_cast<const std::uint8_t*>(data.lpData), data.cbData);
        return TRUE;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// The running copy's command window; with `start`, a copy is started first
// where none runs, and waited for.
HWND RunningCopy(bool start, HANDLE& process) {
    HWND found = ::FindWindowA(CommandServer::kWindowClass, nullptr);
    if (found || !start) return found;
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line =
        L"\"" + std::wstring(self) + L"\" " + win::WideFrom(CP_UTF8, kStartedForCommand);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &started))
        return nullptr;
    ::CloseHandle(started.hThread);
    process = started.hProcess;
    // Ready once its command window stands; it may be slow to start.
    for (int waited = 0; waited < 60000; waited += 100) {
        if ((found = ::FindWindowA(CommandServer::kWindowClass, nullptr))) return found;
        if (::WaitForSingleObject(process, 100) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

// The path as the caller means it: a relative one is taken from the caller's
// folder, since the running copy works in another.
std::string FullPath(const std::string& path) {
    const std::wstring wide = win::WideFrom(CP_UTF8, path);
    wchar_t full[32768];
    const DWORD length = ::GetFullPathNameW(wide.c_str(), 32768, full, nullptr);
    return length > 0 && length < 32768 ? win::NarrowTo(CP_UTF8, full) : path;
}

// The arguments with the paths of --save and --open made full.
std::vector<std::string> WithFullPaths(std::vector<std::string> args) {
    const auto lower = [](std::string s) {
        for (char& c : s)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string name = lower(args[i]);
        for (const char* option : {"--save", "--open"}) {
            const std::string equals = std::string(option) + "=";
            if (name == option && i + 1 < args.size()) {
                args[i + 1] = FullPath(args[i + 1]);
                ++i;
            } else if (name.rfind(equals, 0) == 0) {
                args[i] =
                    args[i].substr(0, equals.size()) + FullPath(args[i].substr(equals.size()));
            }
        }
    }
    return args;
}

}  // namespace

std::vector<std::string> ProgramArguments() {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide && i < count; ++i)
        args.push_back(win::NarrowTo(CP_UTF8, wide[i]));
    if (wide) ::LocalFree(wide);
    return args;
}

int CallWithCommandLine(const std::vector<std::string>& args) {
    const glimra::CommandLineResult parsed = glimra::ParseCommandLine(args);
    if (!parsed.command) {
        Write("glimra: " + parsed.error + "\nTry 'glimra.exe --help' for the usage.\n", true);
        return glimra::kExitBadUsage;
    }
    if (parsed.command->help) {
        Write(glimra::HelpText(), false);
        return glimra::kExitDone;
    }
    const std::vector<std::uint8_t> message = glimra::EncodeArguments(WithFullPaths(args));
    if (message.empty()) {
        Write("glimra: the command is too long to hand over\n", true);
        return glimra::kExitBadUsage;
    }
    HANDLE process = nullptr;
    HWND server = RunningCopy(true, process);
    if (!server) {
        Write("glimra: Glimra could not be started to take the command\n", true);
        if (process) ::CloseHandle(process);
        return glimra::kExitFailed;
    }
    if (!process) {
        DWORD id = 0;
        ::GetWindowThreadProcessId(server, &id);
        process = ::OpenProcess(SYNCHRONIZE, FALSE, id);
    }
    // A hidden window of this process takes the answer.
    WNDCLASSA c{};
    c.lpfnWndProc = CallerProc;
    c.hInstance = ::GetModuleHandleA(nullptr);
    c.lpszClassName = "GlimraCommandCaller";
    ::RegisterClassA(&c);
    HWND window = ::CreateWindowExA(0, c.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    c.hInstance, nullptr);
    Waiting waiting;
    ::SetWindowLongPtrA(window, GWLP_USERDATA, LONG_PTR(&waiting));
    // The running copy may take the foreground for an overlay.
    DWORD id = 0;
    ::GetWindowThreadProcessId(server, &id);
    ::AllowSetForegroundWindow(id);
    COPYDATASTRUCT data{CommandServer::kCommand, DWORD(message.size()),
                        const_cast<std::uint8_t*>(message.data())};
    DWORD_PTR taken = 0;
    if (!::SendMessageTimeoutA(server, WM_COPYDATA, WPARAM(window), LPARAM(&data), SMTO_ABORTIFHUNG,
                               30000, &taken) ||
        !taken) {
        Write("glimra: the running Glimra did not take the command\n", true);
        ::DestroyWindow(window);
        if (process) ::CloseHandle(process);
        return glimra::kExitFailed;
    }
    // The answer comes when the command is done, however long it takes (an
    // overlay waits for the user); a copy that ends first fails it.
    while (!waiting.answer) {
        const DWORD woke =
            ::MsgWaitForMultipleObjects(process ? 1 : 0, &process, FALSE, INFINITE, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&msg);
        if (!waiting.answer && process && woke == WAIT_OBJECT_0) {
            Write("glimra: Glimra ended before the command was done\n", true);
            ::DestroyWindow(window);
            ::CloseHandle(process);
            return glimra::kExitFailed;
        }
    }
    ::DestroyWindow(window);
    if (process) ::CloseHandle(process);
    const glimra::CommandAnswer& answer = *waiting.answer;
    if (!answer.text.empty())
        Write((answer.exitCode == glimra::kExitDone ? "" : "glimra: ") + answer.text + "\n",
              answer.exitCode != glimra::kExitDone);
    return answer.exitCode;
}
