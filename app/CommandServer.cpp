#include "app/CommandServer.h"

#include <optional>
#include <stdexcept>

#include "app/AfterCapture.h"
#include "app/CaptureCommands.h"
#include "app/CaptureOptions.h"
#include "app/Countdown.h"
#include "app/Unit3.h"
#include "app/effects/PictureEffects.h"
#include "commandline/command_message.h"
#include "forms/Unit2.h"
#include "output/windows/clipboard_copy.h"
#include "output/windows/picture_save.h"
#include "ui/TApplication.h"
#include "ui/TTimer.h"
#include "win/Utf8.h"

namespace {

constexpr UINT kRunNext = WM_APP + 40;

glimra::SaveType TypeOf(glimra::SaveFormat format, glimra::SaveType folderType) {
    switch (format) {
        case glimra::SaveFormat::Bmp:
            return glimra::SaveType::Bmp;
        case glimra::SaveFormat::Jpeg:
            return glimra::SaveType::Jpeg;
        case glimra::SaveFormat::Gif:
            return glimra::SaveType::Gif;
        case glimra::SaveFormat::Png:
            return glimra::SaveType::Png;
        case glimra::SaveFormat::Folder:
        case glimra::SaveFormat::Mp4:
            break;
    }
    return folderType;
}

// The reminder stays out of a command's pictures: hidden, its countdown held,
// while the command runs; back as it was afterwards.
class ReminderAside {
  public:
    ReminderAside() {
        if (!Form22 || !Form22->HandleAllocated()) return;
        ui::TTimer& timer = Form22->Get<ui::TTimer>("Timer1");
        counting_ = timer.Enabled();
        shown_ = ::IsWindowVisible(Form22->Handle()) != FALSE;
        timer.SetEnabled(false);
        if (shown_) Form22->Hide();
    }
    ~ReminderAside() {
        if (!Form22 || !Form22->HandleAllocated()) return;
        if (shown_) Form22->Show();
        if (counting_) Form22->Get<ui::TTimer>("Timer1").SetEnabled(true);
    }
    ReminderAside(const ReminderAside&) = delete;
    ReminderAside& operator=(const ReminderAside&) = delete;

  private:
    bool counting_ = false, shown_ = false;
};

// A command's delay: the countdown, whose window then leaves the screen before
// anything is taken.
void CountDown(int seconds) {
    if (seconds <= 0) return;
    RunCountdown(seconds, [] { return false; });
    ui::Application->HandleMessagesUntil(nullptr, 100);
}

CommandServer* server = nullptr;

}  // namespace

LRESULT CALLBACK CommandWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (server && message == WM_COPYDATA && lParam)
        return server->Receive(reinterpret_cast<HWND>(wParam),
                               *reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    if (server && message == kRunNext) {
        server->RunNext();
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

CommandServer::CommandServer(TMAIN& main, CaptureCommands& captures, CaptureOptions& options,
                             bool exitAfterNoWindow)
    : main_(main), captures_(captures), options_(options), exitAfterNoWindow_(exitAfterNoWindow) {
    WNDCLASSA c{};
    c.lpfnWndProc = CommandWindowProc;
    c.hInstance = ::GetModuleHandleA(nullptr);
    c.lpszClassName = kWindowClass;
    ::RegisterClassA(&c);
    server = this;
    // A hidden top-level window (a message-only one is not found by FindWindow).
    window_ = ::CreateWindowExA(WS_EX_TOOLWINDOW, kWindowClass, "Glimra commands", WS_POPUP, 0, 0,
                                0, 0, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    // Programs of lower integrity may not send to it; those of the user's may.
    static auto* const allow =
        reinterpret_cast<BOOL(WINAPI*)(HWND, UINT, DWORD, void*)>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleA("user32.dll"), "ChangeWindowMessageFilterEx")));
    if (window_ && allow) allow(window_, WM_COPYDATA, 1 /* MSGFLT_ALLOW */, nullptr);
}

CommandServer::~CommandServer() {
    server = nullptr;
    if (window_) ::DestroyWindow(window_);
}

LRESULT CommandServer::Receive(HWND caller, const COPYDATASTRUCT& data) {
    if (data.dwData != kCommand || !::IsWindow(caller)) return FALSE;
    const std::optional<std::vector<std::string>> args = glimra::DecodeArguments(
        static_cast<const std::uint8_t*>(data.lpData), data.lpData ? data.cbData : 0);
    if (!args) {
        Answer(caller, {glimra::kExitBadUsage, "the command's message is malformed"});
        return TRUE;
    }
    const glimra::CommandLineResult parsed = glimra::ParseCommandLine(*args);
    if (!parsed.command) {
        Answer(caller, {glimra::kExitBadUsage, parsed.error});
        return TRUE;
    }
    // Run later, between other messages: the sender is not held while it runs.
    queue_.push_back({caller, *parsed.command});
    ::PostMessageA(window_, kRunNext, 0, 0);
    return TRUE;
}

void CommandServer::RunNext() {
    // A command runs overlays and dialogs with message loops of their own; the
    // next waits until it has ended.
    if (running_ || queue_.empty()) return;
    running_ = true;
    const Pending next = queue_.front();
    queue_.pop_front();
    glimra::CommandAnswer answer;
    try {
        answer = Run(next.command);
    } catch (const std::exception& e) {
        answer = {glimra::kExitFailed, e.what()};
    }
    running_ = false;
    Answer(next.caller, answer);
    if (!queue_.empty()) ::PostMessageA(window_, kRunNext, 0, 0);
    // A copy started only for this command ends with it.
    if (exitAfterNoWindow_ && next.command.noWindow && queue_.empty()) main_.Close();
}

glimra::CommandAnswer CommandServer::Run(const glimra::Command& command) {
    using glimra::CaptureKind;
    if (command.openPath) {
        std::string failure;
        if (!captures_.Open(win::WideFrom(CP_UTF8, *command.openPath), failure))
            return {glimra::kExitFailed, "--open " + *command.openPath + ": " + failure};
        main_.ShowMainWindow();
        const glimra::PixelView view = main_.Picture().View();
        return {glimra::kExitDone, "opened " + *command.openPath + ", " +
                                       std::to_string(view.width) + " x " +
                                       std::to_string(view.height)};
    }
    std::optional<RECT> rectangle;
    if (command.area) {
        const glimra::ScreenArea& a = *command.area;
        rectangle = RECT{a.x, a.y, a.x + a.width, a.y + a.height};
        if (!::MonitorFromRect(&*rectangle, MONITOR_DEFAULTTONULL))
            return {glimra::kExitFailed, std::string(glimra::CaptureOption(command.capture)) + " " +
                                             std::to_string(a.x) + "," + std::to_string(a.y) + "," +
                                             std::to_string(a.width) + "," +
                                             std::to_string(a.height) +
                                             ": the rectangle lies outside every display"};
    }
    if (command.capture == CaptureKind::Record) return Record(command, rectangle);
    if (command.capture == CaptureKind::Text) return ReadText(command, rectangle);
    Capture capture = Capture::Desktop;
    switch (command.capture) {
        case CaptureKind::Screen:
            capture = Capture::Desktop;
            break;
        case CaptureKind::AllDisplays:
            capture = Capture::AllDisplays;
            break;
        case CaptureKind::Window:
            capture = Capture::ActiveWindow;
            break;
        case CaptureKind::Region:
            capture = Capture::Selection;
            break;
        case CaptureKind::Pick:
            capture = Capture::WindowOrControl;
            break;
        case CaptureKind::LastRegion:
            capture = Capture::LastRegion;
            break;
        case CaptureKind::Scrolling:
            capture = Capture::Scrolling;
            break;
        case CaptureKind::Record:
        case CaptureKind::Text:
        case CaptureKind::None:
            return {glimra::kExitBadUsage, "no capture given"};
    }
    const bool wasShown = ::IsWindowVisible(main_.Handle()) && !::IsIconic(main_.Handle());
    bool taken = false;
    {
        ReminderAside reminder;
        CountDown(command.delaySeconds);
        std::optional<bool> pointer;
        if (command.pointer != glimra::PointerChoice::AsSet)
            pointer = command.pointer == glimra::PointerChoice::Show;
        taken = captures_.RunForCommand(capture, pointer, rectangle);
    }
    if (command.noWindow && !wasShown) main_.Hide();
    if (!taken) {
        if (capture == Capture::ActiveWindow)
            return {glimra::kExitFailed, "--window: no window is in front"};
        if (capture == Capture::Desktop || capture == Capture::AllDisplays || rectangle)
            return {glimra::kExitFailed, "the screen could not be captured"};
        return {glimra::kExitCancelled, "cancelled: nothing was captured"};
    }
    return AfterPicture(command);
}

glimra::CommandAnswer CommandServer::Record(const glimra::Command& command,
                                            const std::optional<RECT>& area) {
    RecordingRequest request;
    if (command.durationSeconds) request.seconds = *command.durationSeconds;
    if (command.frameRate) request.rate = *command.frameRate;
    if (command.pointer != glimra::PointerChoice::AsSet)
        request.pointer = command.pointer == glimra::PointerChoice::Show;
    request.copy = command.copy;
    if (command.savePath) {
        std::string path = *command.savePath;
        request.mp4 = command.saveFormat == glimra::SaveFormat::Mp4;
        // A folder takes the name pattern, with the GIF's extension.
        if (command.saveFormat == glimra::SaveFormat::Folder) {
            path = FreeNameInFolder(path, options_.Saving().name, glimra::SaveType::Gif, saved_++);
            request.mp4 = false;
        }
        request.file = path;
    }
    const bool wasShown = ::IsWindowVisible(main_.Handle()) && !::IsIconic(main_.Handle());
    RecordingResult result;
    {
        ReminderAside reminder;
        CountDown(command.delaySeconds);
        result = captures_.RecordForCommand(area, request);
    }
    if (command.noWindow && !wasShown) main_.Hide();
    return {result.code, result.said};
}

glimra::CommandAnswer CommandServer::ReadText(const glimra::Command& command,
                                              const std::optional<RECT>& area) {
    const bool wasShown = ::IsWindowVisible(main_.Handle()) && !::IsIconic(main_.Handle());
    glimra::CommandAnswer answer;
    {
        ReminderAside reminder;
        CountDown(command.delaySeconds);
        answer = captures_.TextForCommand(area);
    }
    if (command.noWindow && !wasShown) main_.Hide();
    return answer;
}

glimra::CommandAnswer CommandServer::AfterPicture(const glimra::Command& command) {
    CurrentPicture& picture = main_.Picture();
    const glimra::PixelView view = picture.View();
    std::string said =
        "captured " + std::to_string(view.width) + " x " + std::to_string(view.height);
    if (command.savePath) {
        std::string path = *command.savePath;
        const glimra::SaveType type = TypeOf(command.saveFormat, options_.Saving().type);
        if (command.saveFormat == glimra::SaveFormat::Folder)
            path = FreeNameInFolder(path, options_.Saving().name, type, saved_++);
        try {
            SaveCurrentPicture(picture, path, type);
        } catch (const std::exception& e) {
            return {glimra::kExitFailed, "could not save " + path + ": " + e.what()};
        }
        said += ", saved to " + path;
    }
    if (command.copy) {
        try {
            CopyCurrentPicture(main_.Handle(), picture);
        } catch (const std::exception& e) {
            return {glimra::kExitFailed, std::string("could not copy the picture: ") + e.what()};
        }
        said += ", copied";
    }
    if (command.pin) {
        captures_.Pin(picture.View());
        said += ", pinned";
    }
    return {glimra::kExitDone, said};
}

void CommandServer::Answer(HWND caller, const glimra::CommandAnswer& answer) {
    std::vector<std::uint8_t> bytes = glimra::EncodeAnswer(answer.exitCode, answer.text);
    COPYDATASTRUCT data{kAnswer, DWORD(bytes.size()), bytes.data()};
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(caller, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                          5000, &result);
}
