// The screen recorder on glimra.exe, driven by keys and the mouse: the record
// key, a drag (or the W key) in the selection overlay over another program's
// window that shows a new colour every 100 ms, the recording bar's buttons, the
// preview's buttons, and the save dialog. The GIF it leaves is read back with
// giflib's decoder.
#include <windows.h>

#include <gtest/gtest.h>

#include <dlgs.h>
#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "testing/desktop/Desktop.h"
#include "testing/desktop/OtherProgram.h"
#include "testing/desktop/Program.h"
#include "testing/desktop/ProgramDriving.h"
#include "testing/recording/decoded_animation.h"

namespace {

using namespace glimra::test;

constexpr const char* kCaption = "Norvanta Glimra 1.3";
constexpr const char* kSwedishCaption = "Glimra p\xE5 svenska";
constexpr RECT kWindow{300, 200, 560, 400};
constexpr POINT kFrom{320, 220}, kTo{540, 380};

COLORREF Colour(int n) {
    return RGB(40 + (n * 37) % 200, 40 + (n * 91) % 200, 40 + (n * 53) % 200);
}

// The step whose colour `colour` is, or -1.
int StepOf(COLORREF colour) {
    for (int n = 0; n <= 99; ++n)
        if (Colour(n) == colour) return n;
    return -1;
}

COLORREF FromGif(std::uint32_t rgb) {
    return RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF);
}

std::int64_t Milliseconds() {
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return now.QuadPart * 1000 / frequency.QuadPart;
}

int LeftoverFiles() {
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    WIN32_FIND_DATAA found;
    HANDLE search =
        ::FindFirstFileA((std::string(temp) + "Glimra-recording-*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do
        ++count;
    while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return count;
}

class Recording : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InThrowAwayPrefix()) GTEST_SKIP() << "outside the test harness's Wine prefix";
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
        // Frames without the pointer, so that each is one colour.
        ASSERT_TRUE(StoreSetting("RecordPointer", "0"));
        folder = TestFolder("recording");
        program = std::make_unique<Program>(ProgramPath(), folder);
        main = program->WaitForWindow(kCaption);
        ASSERT_NE(main, nullptr) << program->DescribeWindows();
        PassTheReminder(*program, main, "");
        MouseAside();
        animation = other.SolidWindow(kWindow, Colour(0));
    }
    void TearDown() override {
        program.reset();
        if (InThrowAwayPrefix()) ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    }

    // Shows step n of the animation.
    void Show(int n) {
        other.Run([&] {
            HDC dc = ::GetDC(animation);
            HBRUSH brush = ::CreateSolidBrush(Colour(n));
            RECT r{0, 0, kWindow.right - kWindow.left, kWindow.bottom - kWindow.top};
            ::FillRect(dc, &r, brush);
            ::DeleteObject(brush);
            ::GdiFlush();
            ::ReleaseDC(animation, dc);
        });
    }

    // The record key (Ctrl+Alt+Shift+F11) and the drag, or with `pick` the pointer
    // over the animation and that key; the bar once the recording runs.
    HWND StartRecording(WORD pick = 0) {
        ::SetForegroundWindow(main);
        WaitFor([&] { return ::GetForegroundWindow() == main; }, 3000);
        ::Sleep(300);
        KeyEvents({{VK_CONTROL, true}, {VK_MENU, true}, {VK_SHIFT, true}});
        ::Sleep(100);
        KeyEvents({{VK_F11, true}});
        ::Sleep(150);
        KeyEvents({{VK_F11, false}, {VK_SHIFT, false}, {VK_MENU, false}, {VK_CONTROL, false}});
        HWND overlay = WaitForOverlay("CaptureForm");
        if (!overlay) return nullptr;
        if (pick) {
            MoveAndRest({(kWindow.left + kWindow.right) / 2, (kWindow.top + kWindow.bottom) / 2});
            PressKey(pick);
        } else {
            MoveAndRest(kFrom);
            MouseEvent(MOUSEEVENTF_LEFTDOWN);
            MoveAndRest({(kFrom.x + kTo.x) / 2, (kFrom.y + kTo.y) / 2});
            MoveAndRest(kTo);
            released = Milliseconds();
            MouseEvent(MOUSEEVENTF_LEFTUP);
        }
        HWND bar = nullptr;
        WaitFor(
            [&] {
                bar = ::FindWindowA("GlimraRecordingBar", nullptr);
                return bar && ::IsWindowVisible(bar);
            },
            10000);
        return bar;
    }

    // The preview that opens when a recording ends.
    HWND WaitForPreview() {
        HWND preview = nullptr;
        WaitFor(
            [&] {
                preview = ::FindWindowA("GlimraRecordingPreview", nullptr);
                return preview && ::IsWindowVisible(preview);
            },
            10000);
        ::Sleep(300);
        return preview;
    }
    // Clicks the button until `done`: under Wine a click on a window just shown
    // is now and then lost.
    template <class Done>
    static void PressUntil(HWND button, Done done) {
        RECT r;
        if (button && ::GetWindowRect(button, &r))
            ClickUntil({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, done, 4000);
    }
    // The program shows a dialog of its own (a save dialog or a message box).
    bool DialogShown() const { return ShownWindowOfClass(*program, "#32770") != nullptr; }
    static HWND Button(HWND preview, const char* text) {
        return ::FindWindowExA(preview, nullptr, "Button", text);
    }
    // The line under the preview's buttons.
    static std::string Info(HWND preview) { return TextOf(::GetDlgItem(preview, 208)); }
    // The step that the preview's picture shows, read from the screen.
    static int ShownStep(HWND preview) {
        ::Sleep(200);
        RECT client;
        ::GetClientRect(preview, &client);
        POINT middle{client.right / 2, 20};
        ::ClientToScreen(preview, &middle);
        return StepOf(ScreenPixels({middle.x, middle.y, middle.x + 1, middle.y + 1}).At(0, 0));
    }
    static std::vector<std::uint8_t> FileBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
    }
    // Animates steps `from` to `to`, one each 100 ms from `began`.
    void Animate(int from, int to, std::int64_t began) {
        for (int n = from; n <= to; ++n) {
            while (Milliseconds() - began < (n - from + 1) * 100)
                ::Sleep(2);
            Show(n);
        }
    }
    std::int64_t released = 0;  // when the drag ended: the recording starts after it
    std::string folder;
    std::unique_ptr<Program> program;
    HWND main = nullptr;
    OtherProgram other;
    HWND animation = nullptr;
};

TEST_F(Recording, ThreeSecondsOfAnAnimation_GiveAGifOfEveryStepInItsTime_CopiedAsAFile) {
    HWND bar = StartRecording();
    ASSERT_NE(bar, nullptr) << program->DescribeWindows();
    const std::int64_t began = Milliseconds();
    MouseAside();
    // A new step every 100 ms for 3 s, and a pause of 800 ms after step 12
    // whose step is never in the file.
    std::int64_t paused = 0;
    for (int n = 1; n <= 30; ++n) {
        while (Milliseconds() - began - paused < n * 100)
            ::Sleep(2);
        Show(n);
        if (n == 5) SaveScreenshot(RECT{280, 180, 620, 460}, "recording-bar");
        if (n == 12) {
            HWND pause = ::FindWindowExA(bar, nullptr, "Button", "Pause");
            ASSERT_NE(pause, nullptr);
            const std::int64_t from = Milliseconds();
            ClickWindow(pause);
            ASSERT_TRUE(
                WaitFor([&] { return ::FindWindowExA(bar, nullptr, "Button", "Resume"); }, 3000));
            Show(99);
            ::Sleep(800);
            Show(12);
            ClickWindow(::FindWindowExA(bar, nullptr, "Button", "Resume"));
            ASSERT_TRUE(
                WaitFor([&] { return ::FindWindowExA(bar, nullptr, "Button", "Pause"); }, 3000));
            paused += Milliseconds() - from;
        }
    }
    HWND stop = ::FindWindowExA(bar, nullptr, "Button", "Stop");
    ASSERT_NE(stop, nullptr);
    // The recording ends between the click and the bar's going.
    const std::int64_t clicked = Milliseconds();
    ClickWindow(stop);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(bar); }, 5000));
    const std::int64_t gone = Milliseconds();

    HWND preview = WaitForPreview();
    ASSERT_NE(preview, nullptr) << program->DescribeWindows();
    SaveScreenshot(preview, "recording-preview");
    // The recording starts on step 0 or 1.
    EXPECT_LE(ShownStep(preview), 1) << "the preview does not show the first frame";
    EXPECT_GE(ShownStep(preview), 0) << "the preview shows no step";
    PressUntil(Button(preview, "&Save..."), [&] { return DialogShown(); });
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] { return (dialog = ShownWindowOfClass(*program, "#32770")) != nullptr; }, 10000))
        << program->DescribeWindows();
    ::Sleep(300);
    SaveScreenshot(dialog, "recording-save-dialog");
    const std::string path = folder + "\\recorded.gif";
    SaveInDialog(dialog, 1, path);
    ASSERT_TRUE(WaitFor([&] { return Info(preview).find("Saved.") != std::string::npos; }, 10000))
        << Info(preview);
    // Saved, it closes without a question, and its file goes with it.
    PressUntil(Button(preview, "&Close"), [&] { return !::IsWindow(preview); });
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(preview); }, 5000));
    EXPECT_EQ(ShownWindowOfClass(*program, "#32770"), nullptr);
    EXPECT_EQ(LeftoverFiles(), 0) << "the recording's temporary file stays";

    const std::vector<std::uint8_t> bytes = FileBytes(path);
    const DecodedAnimation gif = DecodeAnimation(bytes);
    EXPECT_EQ(gif.width, kTo.x - kFrom.x);
    EXPECT_EQ(gif.height, kTo.y - kFrom.y);
    EXPECT_EQ(gif.loopCount, 0);
    ASSERT_FALSE(gif.frames.empty());
    // Every frame one step, wholly: no bar, no frame, no pause step; in order.
    int last = -1, total = 0;
    for (std::size_t i = 0; i < gif.frames.size(); ++i) {
        const std::uint32_t first = gif.frames[i].pixels[0];
        const int step = StepOf(FromGif(first));
        ASSERT_TRUE(step >= 0 && step <= 30) << "frame " << i << " is no step";
        for (std::uint32_t p : gif.frames[i].pixels)
            ASSERT_EQ(p, first) << "frame " << i << " is not one colour";
        EXPECT_GT(step, last) << "frame " << i;
        last = step;
        total += gif.frames[i].delay * 10;
    }
    EXPECT_GE(last, 29);
    // Most steps have a frame of their own at 10 frames a second.
    EXPECT_GE(gif.frames.size(), 25u);
    // It plays in the time it ran, the pause left out, within a frame: at least
    // from the bar's showing to the click on Stop, at most from the drag's end
    // to the bar's going.
    EXPECT_GE(total, clicked - began - paused - 100);
    EXPECT_LE(total, gone - released - paused + 100);
    std::printf("%zu frames, %d ms played, %lld to %lld ms recorded, %zu bytes\n",
                gif.frames.size(), total, static_cast<long long>(clicked - began - paused),
                static_cast<long long>(gone - released - paused), bytes.size());

    // The file is on the clipboard as a file.
    ASSERT_TRUE(::OpenClipboard(nullptr));
    HANDLE drop = ::GetClipboardData(CF_HDROP);
    wchar_t name[MAX_PATH] = {};
    if (drop) ::DragQueryFileW(static_cast<HDROP>(drop), 0, name, MAX_PATH);
    ::CloseClipboard();
    char narrow[MAX_PATH] = {};
    ::WideCharToMultiByte(CP_ACP, 0, name, -1, narrow, MAX_PATH, nullptr, nullptr);
    EXPECT_EQ(std::string(narrow), path);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) && !::IsIconic(main); }, 5000));
    ::Sleep(300);
    SaveScreenshot(main, "recording-saved");
}

// Cancel on a dragged area, and Escape on a whole display picked with D.
TEST_F(Recording, CancelAndEscape_LeaveNoFileAndNoTemporaryFile) {
    for (bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Escape" : "Cancel");
        HWND bar = StartRecording(escape ? 'D' : 0);
        ASSERT_NE(bar, nullptr) << program->DescribeWindows();
        ::Sleep(800);
        EXPECT_EQ(LeftoverFiles(), 1) << "the recording's frames are not in a file";
        if (!escape) {
            // Another capture from the tray waits: the desktop, the tray menu's
            // first item, takes nothing while the recording runs.
            HWND menu = OpenTrayMenu(*program);
            ASSERT_NE(menu, nullptr) << "no tray menu";
            Keys({VK_DOWN, VK_RETURN});
            ASSERT_TRUE(MenusClosed(*program));
            ::Sleep(1500);
            EXPECT_TRUE(::IsWindowVisible(bar)) << "the recording ended";
        }
        if (escape) {
            ::SetForegroundWindow(bar);
            ::Sleep(200);
            PressKey(VK_ESCAPE);
        } else {
            ClickWindow(::FindWindowExA(bar, nullptr, "Button", "Cancel"));
        }
        ASSERT_TRUE(WaitFor([&] { return !::IsWindow(bar); }, 5000));
        ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) && !::IsIconic(main); }, 5000));
        EXPECT_EQ(ShownWindowOfClass(*program, "#32770"), nullptr) << "a dialog after cancelling";
        EXPECT_EQ(LeftoverFiles(), 0);
        // No capture came after the recording either: the view is still empty.
        ::Sleep(500);
        for (COLORREF c : ViewShows(main, 16, 16).colours)
            ASSERT_EQ(c, ::GetSysColor(COLOR_APPWORKSPACE)) << "the view shows a picture";
    }
}

// The window under the pointer, picked with W in the overlay, recorded while
// it shows steps 1 to 20; in the preview, steps forward to the trim's start and
// end, a play of the part kept, and the save: the GIF holds that part only, in
// its time, at the window's size.
TEST_F(Recording, WindowPickedWithAKey_TrimmedInThePreview_SavesThePartKept) {
    HWND bar = StartRecording('W');
    ASSERT_NE(bar, nullptr) << program->DescribeWindows();
    MouseAside();
    Animate(1, 20, Milliseconds());
    ::Sleep(300);
    ClickWindow(Button(bar, "Stop"));
    HWND preview = WaitForPreview();
    ASSERT_NE(preview, nullptr) << program->DescribeWindows();

    const auto step = [&](int times) {
        for (int i = 0; i < times; ++i)
            ClickWindow(Button(preview, ">"));
    };
    // Frame 6 starts the part kept, frame 14 ends it.
    step(5);
    ASSERT_NE(Info(preview).find("Frame 6 of"), std::string::npos) << Info(preview);
    const int firstStep = ShownStep(preview);
    ClickWindow(Button(preview, "Trim &Start"));
    step(8);
    const int lastStep = ShownStep(preview);
    ClickWindow(Button(preview, "Trim &End"));
    const std::string kept = Info(preview);
    const std::size_t at = kept.find("Kept: frames 6 to 14, ");
    ASSERT_NE(at, std::string::npos) << kept;
    int minutes = 0, seconds = 0, tenths = 0;
    ASSERT_EQ(std::sscanf(kept.c_str() + at + 22, "%d:%d.%d", &minutes, &seconds, &tenths), 3);
    const int keptTime = (minutes * 60 + seconds) * 1000 + tenths * 100;
    ASSERT_GT(firstStep, 0);
    ASSERT_GT(lastStep, firstStep);

    // Play runs through the part kept in its own time, and stops on its end.
    ClickWindow(Button(preview, "&Play"));
    ASSERT_NE(Button(preview, "&Pause"), nullptr) << "it does not play";
    ASSERT_TRUE(WaitFor([&] { return Button(preview, "&Play") != nullptr; }, 10000));
    EXPECT_EQ(ShownStep(preview), lastStep);
    EXPECT_NE(Info(preview).find("Frame 14 of"), std::string::npos) << Info(preview);

    PressUntil(Button(preview, "&Save..."), [&] { return DialogShown(); });
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] { return (dialog = ShownWindowOfClass(*program, "#32770")) != nullptr; }, 10000));
    ::Sleep(300);
    const std::string path = folder + "\\trimmed.gif";
    SaveInDialog(dialog, 1, path);
    ASSERT_TRUE(WaitFor([&] { return Info(preview).find("Saved.") != std::string::npos; }, 10000));
    PressUntil(Button(preview, "&Close"), [&] { return !::IsWindow(preview); });
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(preview); }, 5000));

    const DecodedAnimation gif = DecodeAnimation(FileBytes(path));
    EXPECT_EQ(gif.width, kWindow.right - kWindow.left);
    EXPECT_EQ(gif.height, kWindow.bottom - kWindow.top);
    ASSERT_FALSE(gif.frames.empty());
    int total = 0;
    for (const auto& frame : gif.frames)
        total += frame.delay * 10;
    EXPECT_EQ(StepOf(FromGif(gif.frames.front().pixels[0])), firstStep);
    EXPECT_EQ(StepOf(FromGif(gif.frames.back().pixels.back())), lastStep);
    // Nine frames at most (a frame equal to the one before only lengthens it),
    // playing for the time the preview gives the part kept (in tenths).
    EXPECT_LE(gif.frames.size(), 9u);
    EXPECT_GE(total, keptTime - 10);
    EXPECT_LE(total, keptTime + 110);
}

// A disk with less room than the settings ask for ends the recording at once,
// with a message, and the recording is kept for the preview. Its save dialog
// says that MP4 has no H.264 encoder (as under Wine) and offers a GIF;
// cancelling the dialog comes back to the preview, and closing the preview
// unsaved asks first; the GIF is saved in the end. The program runs in a folder
// of its own with its Lang folder, as a shortcut starts it; saving the GIF
// elsewhere leaves that folder current, so a language chosen afterwards loads.
TEST_F(Recording, DiskLimit_Mp4WithoutAnEncoder_AndCancelling_LoseNothingUnasked) {
    const std::string started = folder + "\\started";
    for (const std::string& f : {started, started + "\\Lang"})
        ::CreateDirectoryA(f.c_str(), nullptr);
    for (const char* language : {"English", "Svenska"}) {
        std::FILE* file = std::fopen((started + "\\Lang\\" + language + ".lng").c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fprintf(file, "[General]\r\nLanguageName=%s\r\n\r\n[MAIN]\r\nMAIN.Caption=%s\r\n",
                     language, language[0] == 'E' ? kCaption : kSwedishCaption);
        std::fclose(file);
    }
    // Read when the program starts.
    program.reset();
    ASSERT_TRUE(StoreSetting("RecordingFreeMB", "1048576"));
    program = std::make_unique<Program>(ProgramPath(), started);
    main = program->WaitForWindow(kCaption);
    ASSERT_NE(main, nullptr);
    PassTheReminder(*program, main, "");
    ASSERT_NE(StartRecording(), nullptr);
    // The program's message box whose text holds `part`.
    const auto box = [&](const char* part) {
        HWND found = nullptr;
        WaitFor(
            [&] {
                HWND shown = ShownWindowOfClass(*program, "#32770");
                if (!shown) return false;
                HWND text = ::GetDlgItem(shown, 0xFFFF);
                if (!text) text = ::GetDlgItem(shown, 100);
                if (TextOf(text).find(part) == std::string::npos) return false;
                found = shown;
                return true;
            },
            10000);
        ::Sleep(200);
        return found;
    };
    const auto saveDialog = [&] {
        HWND dialog = nullptr;
        WaitFor(
            [&] {
                dialog = ShownWindowOfClass(*program, "#32770");
                return dialog && ::GetDlgItem(dialog, cmb1);
            },
            10000);
        ::Sleep(300);
        return dialog;
    };
    HWND message = box("1048576 MB free");
    ASSERT_NE(message, nullptr) << program->DescribeWindows();
    SaveScreenshot(message, "recording-disk-limit");
    ::PostMessageA(message, WM_COMMAND, IDOK, 0);
    HWND preview = WaitForPreview();
    ASSERT_NE(preview, nullptr) << program->DescribeWindows();

    // MP4: said, and a GIF offered, which is declined for now.
    PressUntil(Button(preview, "&Save..."), [&] { return DialogShown(); });
    HWND dialog = saveDialog();
    ASSERT_NE(dialog, nullptr) << "no save dialog";
    const std::string mp4 = folder + "\\recorded.mp4", gif = folder + "\\recorded.gif";
    ::DeleteFileA(mp4.c_str());
    ::DeleteFileA(gif.c_str());
    HWND types = ::GetDlgItem(dialog, cmb1);
    ::SendMessageA(types, CB_SETCURSEL, 1, 0);
    for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
        ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, code), LPARAM(types));
    HWND name =
        ::GetDlgItem(dialog, cmb13) ? ::GetDlgItem(dialog, cmb13) : ::GetDlgItem(dialog, edt1);
    ::SendMessageA(name, WM_SETTEXT, 0, LPARAM(mp4.c_str()));
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    HWND offer = box("no H.264 encoder");
    ASSERT_NE(offer, nullptr) << program->DescribeWindows();
    SaveScreenshot(offer, "recording-no-mp4-encoder");
    ::PostMessageA(offer, WM_COMMAND, IDNO, 0);
    EXPECT_EQ(::GetFileAttributesA(mp4.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(::GetFileAttributesA((mp4 + ".part").c_str()), INVALID_FILE_ATTRIBUTES);

    // Cancelled: back in the preview; closed unsaved: asked, and kept.
    dialog = saveDialog();
    ASSERT_NE(dialog, nullptr) << "the dialog does not come back";
    ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, 5000));
    ::Sleep(500);
    EXPECT_EQ(ShownWindowOfClass(*program, "#32770"), nullptr) << "a question after cancelling";
    ASSERT_TRUE(::IsWindowVisible(preview)) << "the preview went with the dialog";
    ::PostMessageA(preview, WM_CLOSE, 0, 0);
    HWND question = box("not saved");
    ASSERT_NE(question, nullptr) << "dropped without asking";
    SaveScreenshot(question, "recording-close-unsaved");
    ::PostMessageA(question, WM_COMMAND, IDNO, 0);
    ::Sleep(500);
    ASSERT_TRUE(::IsWindowVisible(preview)) << "the recording was not kept";

    // Saved as a GIF after all, and closed.
    PressUntil(Button(preview, "&Save..."), [&] { return DialogShown(); });
    dialog = saveDialog();
    ASSERT_NE(dialog, nullptr) << "no save dialog";
    SaveInDialog(dialog, 1, gif);
    EXPECT_FALSE(DecodeAnimation(FileBytes(gif)).frames.empty());
    ASSERT_TRUE(WaitFor([&] { return Info(preview).find("Saved.") != std::string::npos; }, 10000));
    ::PostMessageA(preview, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(preview); }, 5000));
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) && !::IsIconic(main); }, 5000));
    EXPECT_EQ(LeftoverFiles(), 0);

    // Config > Language > Svenska, the second of the two.
    ::SetForegroundWindow(main);
    ::Sleep(200);
    AltAnd('O');
    ASSERT_NE(WaitForMenu(*program), nullptr);
    Keys({VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});
    EXPECT_TRUE(WaitFor([&] { return TextOf(main) == kSwedishCaption; }, 3000))
        << TextOf(main) << ": " << TextOf(::GetDlgItem(box(""), 0xFFFF));
}

}  // namespace
