// The running copy's end of the command line: a hidden window that another
// start of glimra.exe (or any program of the user's) hands a command to with
// WM_COPYDATA. Each message is read by the neutral command-line code and
// refused with exit code 2 and the reason when it is malformed; the commands
// taken are queued and run one after the other, between other messages, and
// each one's exit code and text go back to the window that sent it.
#pragma once

#include <windows.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "commandline/command_line.h"
#include "commandline/command_message.h"

class CaptureCommands;
class CaptureOptions;
class TMAIN;

class CommandServer {
  public:
    // The window class another start looks for, and the two kinds of message
    // (WM_COPYDATA's dwData): a command to this copy, an answer from it.
    static constexpr const char* kWindowClass = "GlimraCommands";
    static constexpr ULONG_PTR kCommand = 0x474C4331, kAnswer = 0x474C4341;

    // `exitAfterNoWindow`: this copy was started for a command, and ends once
    // a command with --no-window is done.
    CommandServer(TMAIN& main, CaptureCommands& captures, CaptureOptions& options,
                  bool exitAfterNoWindow);
    ~CommandServer();
    CommandServer(const CommandServer&) = delete;
    CommandServer& operator=(const CommandServer&) = delete;

  private:
    friend LRESULT CALLBACK CommandWindowProc(HWND, UINT, WPARAM, LPARAM);
    struct Pending {
        HWND caller;
        glimra::Command command;
    };
    LRESULT Receive(HWND caller, const COPYDATASTRUCT& data);
    void RunNext();
    glimra::CommandAnswer Run(const glimra::Command& command);
    glimra::CommandAnswer AfterPicture(const glimra::Command& command);
    glimra::CommandAnswer Record(const glimra::Command& command, const std::optional<RECT>& area);
    glimra::CommandAnswer ReadText(const glimra::Command& command, const std::optional<RECT>& area);
    static void Answer(HWND caller, const glimra::CommandAnswer& answer);

    TMAIN& main_;
    CaptureCommands& captures_;
    CaptureOptions& options_;
    const bool exitAfterNoWindow_;
    HWND window_ = nullptr;
    std::deque<Pending> queue_;
    bool running_ = false;
    int saved_ = 1;  // %n of the next name in a folder
};
