// Text recognition tried on glimra.exe from outside: windows of another program
// draw known texts in the fonts this system has, "Text from Region" is started
// with its key and the area dragged, and what the program leaves is checked: the
// text on the clipboard and in its result window, its messages where there is
// nothing to read or nothing to read with, and the clipboard left alone then.
// A script's --text reads a rectangle and prints what it read.
#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "ocr/text_errors.h"
#include "testing/desktop/Desktop.h"
#include "testing/desktop/OtherProgram.h"
#include "testing/desktop/Program.h"
#include "testing/desktop/ProgramDriving.h"
#include "testing/desktop/Script.h"

namespace {

namespace fs = std::filesystem;
using namespace glimra::test;

constexpr const char* kCaption = "Norvanta Glimra 1.3";
constexpr RECT kTextWindow{120, 140, 760, 330};

const std::vector<std::string> kProse = {
    "The quick brown fox jumps over the lazy dog.",
    "Error 404: the file report_2026.txt was not found (code 0x80070002).",
    "Press OK to continue, or Cancel to keep your changes.",
};
const std::vector<std::string> kCode = {
    "12  int total = count * 3;",
    "13  if (total > limit) return false;",
    "14  print(\"Saved 7 files to C:\\\\Temp\");",
};

std::wstring ClipboardText() {
    std::wstring text;
    for (int attempt = 0; attempt < 20 && !::OpenClipboard(nullptr); ++attempt)
        ::Sleep(50);
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

void PutOnClipboard(const std::wstring& text) {
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(::GlobalLock(memory)));
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_UNICODETEXT, memory);
    ::CloseClipboard();
}

std::string Utf8(const std::wstring& text) {
    std::string out(std::size_t(::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()),
                                                      nullptr, 0, nullptr, nullptr)),
                    '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), out.data(), int(out.size()),
                          nullptr, nullptr);
    return out;
}

// The result window's edit box, read from outside.
std::wstring ResultText(HWND result) {
    HWND edit = ::FindWindowExA(result, nullptr, "Edit", nullptr);
    wchar_t text[4096] = {};
    if (edit) ::SendMessageW(edit, WM_GETTEXT, std::size(text), LPARAM(text));
    return text;
}

// A message box of the program that says `words`, or null.
HWND MessageSaying(const Program& program, const std::string& words) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            found = ShownWindowOf(program, [&](HWND w, const std::string& cls) {
                if (cls != "#32770") return false;
                HWND text = ::GetDlgItem(w, 0xFFFF);
                return text && TextOf(text).find(words) != std::string::npos;
            });
            return found != nullptr;
        },
        20000);
    return found;
}

// The process has loaded a module of that name.
bool HasModule(DWORD process, const char* name) {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    bool found = false;
    for (BOOL more = ::Module32First(snapshot, &module); more && !found;
         more = ::Module32Next(snapshot, &module))
        found = ::lstrcmpiA(module.szModule, name) == 0;
    ::CloseHandle(snapshot);
    return found;
}

// Answers a message box with OK and waits until it has gone: while it is open,
// the program takes no capture key.
void Dismiss(HWND box) {
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    WaitFor([&] { return !::IsWindow(box); }, 5000);
    ::Sleep(300);
}

// What the clipboard holds after reading `lines`: a run of spaces read as one.
std::string AsRead(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        if (!out.empty()) out += "\r\n";
        for (char c : line)
            if (c != ' ' || out.empty() || out.back() != ' ') out += c;
    }
    return out;
}

// A copy in place of whatever stood there (MinGW's copy_file does not replace).
void CopyOver(const fs::path& from, const fs::path& to) {
    fs::remove(to);
    fs::copy_file(from, to);
}

class TextRecognition : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InThrowAwayPrefix()) GTEST_SKIP() << "outside the test harness's Wine prefix";
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
        for (int key : {VK_F9, VK_F12, VK_ESCAPE})
            ::GetAsyncKeyState(key);
    }
    void TearDown() override {
        if (InThrowAwayPrefix()) ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    }
    HWND Start(Program& program) {
        HWND main = program.WaitForWindow(kCaption);
        if (!main) return nullptr;
        PassTheReminder(program, main, "");
        MouseAside();
        return main;
    }
    // "Text from Region" with its key, Ctrl+Alt+Shift+F12, and a drag over `area`.
    static bool ReadRegion(RECT area) {
        KeyEvents({{VK_CONTROL, true}, {VK_MENU, true}, {VK_SHIFT, true}, {VK_F12, true}});
        ::Sleep(150);
        KeyEvents({{VK_F12, false}, {VK_SHIFT, false}, {VK_MENU, false}, {VK_CONTROL, false}});
        HWND overlay = WaitForOverlay("CaptureForm");
        if (!overlay) return false;
        MoveAndRest({area.left, area.top});
        MouseEvent(MOUSEEVENTF_LEFTDOWN);
        MoveAndRest({(area.left + area.right) / 2, (area.top + area.bottom) / 2});
        MoveAndRest({area.right, area.bottom});
        MouseEvent(MOUSEEVENTF_LEFTUP);
        return WaitFor([&] { return !::IsWindow(overlay); }, 5000);
    }
    static HWND WaitForResult() {
        HWND result = nullptr;
        WaitFor(
            [&] {
                result = ::FindWindowA("GlimraTextResult", nullptr);
                return result && ::IsWindowVisible(result);
            },
            30000);
        return result;
    }
    static void CloseResult(HWND result) {
        ::PostMessageA(result, WM_CLOSE, 0, 0);
        WaitFor([&] { return !::IsWindow(result); }, 5000);
    }
};

struct Sample {
    const char* font;
    int points;
    bool dark;
    BYTE quality;
    bool code;             // a column of line numbers beside code
    double allowedErrors;  // the character error rate allowed
};

TEST_F(TextRecognition, ReadsTheTextOfDraggedAreasInTheSystemsFonts) {
    const Sample samples[] = {
        {"Tahoma", 9, false, ANTIALIASED_QUALITY, false, 0},
        {"DejaVu Sans", 10, false, CLEARTYPE_QUALITY, false, 0},
        {"DejaVu Sans", 12, true, ANTIALIASED_QUALITY, false, 0},
        {"DejaVu Sans Mono", 11, false, CLEARTYPE_QUALITY, true, 0},
        {"DejaVu Sans Mono", 14, true, ANTIALIASED_QUALITY, true, 0},
        {"Tahoma", 8, false, ANTIALIASED_QUALITY, false, 0.02},
    };
    Program program(ProgramPath(), TestFolder("text-region"));
    HWND main = Start(program);
    ASSERT_TRUE(main) << program.DescribeWindows();
    OtherProgram other;
    for (const Sample& sample : samples) {
        SCOPED_TRACE(std::string(sample.font) + " " + std::to_string(sample.points) +
                     (sample.dark ? " light on dark" : " dark on light") +
                     (sample.quality == CLEARTYPE_QUALITY ? ", subpixel" : ""));
        const TextLook look{sample.font,
                            sample.points,
                            sample.dark ? RGB(230, 230, 230) : RGB(0, 0, 0),
                            sample.dark ? RGB(45, 45, 48) : RGB(255, 255, 255),
                            sample.quality,
                            sample.code ? kCode : kProse};
        HWND window = other.TextWindow(kTextWindow, look);
        ::Sleep(300);
        ASSERT_TRUE(ReadRegion({kTextWindow.left + 2, kTextWindow.top + 2, kTextWindow.right - 2,
                                kTextWindow.bottom - 2}));
        HWND result = WaitForResult();
        ASSERT_TRUE(result) << program.DescribeWindows();
        const std::string expected = AsRead(look.lines);
        const std::string copied = Utf8(ClipboardText());
        if (sample.allowedErrors == 0)
            EXPECT_EQ(copied, expected);
        else
            EXPECT_LE(glimra::ocr::CountErrors(expected, copied).Rate(), sample.allowedErrors)
                << copied;
        // The result window shows what went to the clipboard.
        EXPECT_EQ(Utf8(ResultText(result)), copied);
        if (sample.code) {
            ::RedrawWindow(result, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
            ::Sleep(500);
            SaveScreenshot(result, "text-result");
        }
        CloseResult(result);
        other.Run([&] { ::DestroyWindow(window); });
    }
    // The built-in recogniser is let go 30 seconds after the last reading.
    EXPECT_TRUE(HasModule(program.Id(), "glimra_ocr.dll"));
    EXPECT_TRUE(WaitFor([&] { return !HasModule(program.Id(), "glimra_ocr.dll"); }, 45000))
        << "glimra_ocr.dll is still loaded";
}

// glimra.exe --text X,Y,W,H --no-window with no copy running: one starts, reads
// the rectangle, prints the text on the script's console, leaves it on the
// clipboard, and ends.
TEST_F(TextRecognition, AScriptReadsARectanglesTextAndPrintsIt) {
    OtherProgram other;
    const TextLook look{"Tahoma", 9, RGB(0, 0, 0), RGB(255, 255, 255), ANTIALIASED_QUALITY, kProse};
    HWND window = other.TextWindow(kTextWindow, look);
    ::Sleep(300);
    const RECT r{kTextWindow.left + 2, kTextWindow.top + 2, kTextWindow.right - 2,
                 kTextWindow.bottom - 2};
    const ScriptRun run = RunGlimra("--text " + std::to_string(r.left) + "," +
                                    std::to_string(r.top) + "," + std::to_string(r.right - r.left) +
                                    "," + std::to_string(r.bottom - r.top) + " --no-window");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    const std::string expected = AsRead(look.lines);
    EXPECT_EQ(run.out, expected + "\n");
    EXPECT_EQ(Utf8(ClipboardText()), expected);
    EXPECT_TRUE(WaitFor([] { return !::FindWindowA(nullptr, kCaption); }, 15000))
        << "the started copy stays";
    // The window with the desktop's colour around it: the same lines, the
    // desktop is a panel of its own and no ink.
    const RECT around{kTextWindow.left - 40, kTextWindow.top - 40, kTextWindow.right + 40,
                      kTextWindow.bottom + 20};
    const ScriptRun wider =
        RunGlimra("--text " + std::to_string(around.left) + "," + std::to_string(around.top) + "," +
                  std::to_string(around.right - around.left) + "," +
                  std::to_string(around.bottom - around.top) + " --no-window");
    ASSERT_EQ(wider.exitCode, 0u) << wider.err;
    EXPECT_EQ(wider.out, expected + "\n");
    EXPECT_TRUE(WaitFor([] { return !::FindWindowA(nullptr, kCaption); }, 15000))
        << "the started copy stays";
    other.Run([&] { ::DestroyWindow(window); });
}

TEST_F(TextRecognition, SaysSoWhenThereIsNoTextOrNothingToReadWith) {
    const std::wstring before = L"kept on the clipboard";
    const fs::path folder = TestFolder("text-missing");
    fs::remove_all(folder);
    fs::create_directories(folder);
    // A copy of the program without its recogniser's DLL, with the models.
    const fs::path built = fs::path(ProgramPath()).parent_path();
    CopyOver(ProgramPath(), folder / "glimra.exe");
    fs::create_directories(folder / "tessdata");
    for (const auto& model : fs::directory_iterator(built / "tessdata"))
        CopyOver(model.path(), folder / "tessdata" / model.path().filename());
    OtherProgram other;
    const TextLook look{"DejaVu Sans",       11,    RGB(0, 0, 0), RGB(255, 255, 255),
                        ANTIALIASED_QUALITY, kProse};
    other.TextWindow(kTextWindow, look);
    const RECT area{kTextWindow.left + 2, kTextWindow.top + 2, kTextWindow.right - 2,
                    kTextWindow.bottom - 2};
    {
        Program program((folder / "glimra.exe").string(), TestFolder("text-missing-run"));
        HWND main = Start(program);
        ASSERT_TRUE(main) << program.DescribeWindows();
        PutOnClipboard(before);
        ASSERT_TRUE(ReadRegion(area));
        HWND box = MessageSaying(program, "not installed");
        ASSERT_TRUE(box) << program.DescribeWindows();
        Dismiss(box);
        EXPECT_EQ(ClipboardText(), before);
        EXPECT_FALSE(::FindWindowA("GlimraTextResult", nullptr));

        // A damaged model, the DLL in its place.
        CopyOver(built / "glimra_ocr.dll", folder / "glimra_ocr.dll");
        fs::resize_file(folder / "tessdata" / "eng.traineddata", 5000);
        ASSERT_TRUE(ReadRegion(area));
        box = MessageSaying(program, "damaged");
        ASSERT_TRUE(box) << program.DescribeWindows();
        Dismiss(box);
        EXPECT_EQ(ClipboardText(), before);
        program.Kill();
    }
    {
        // The real program: an area without text, and Windows' own engine, which
        // Wine does not have.
        Program program(ProgramPath(), TestFolder("text-nothing"));
        HWND main = Start(program);
        ASSERT_TRUE(main) << program.DescribeWindows();
        other.SolidWindow({800, 400, 960, 520}, RGB(200, 220, 240));
        PutOnClipboard(before);
        ASSERT_TRUE(ReadRegion({810, 410, 950, 510}));
        HWND box = MessageSaying(program, "No text");
        ASSERT_TRUE(box) << program.DescribeWindows();
        Dismiss(box);
        EXPECT_EQ(ClipboardText(), before);

        ASSERT_TRUE(StoreSetting("TextRecognition", "Windows"));
        program.Kill();
    }
    {
        Program program(ProgramPath(), TestFolder("text-windows"));
        HWND main = Start(program);
        ASSERT_TRUE(main) << program.DescribeWindows();
        ASSERT_TRUE(ReadRegion(area));
        HWND box = MessageSaying(program, "Built-in");
        ASSERT_TRUE(box) << program.DescribeWindows();
        Dismiss(box);
        EXPECT_EQ(ClipboardText(), before);
        program.Kill();
    }
}

}  // namespace
