#include "testing/desktop/ProgramDriving.h"

#include <gtest/gtest.h>

#include <dlgs.h>

#include "app/Settings.h"
#include "testing/desktop/MainWindowLayout.h"
#include "testing/desktop/OtherProgram.h"

namespace glimra::test {

namespace {

struct Search {
    DWORD process;
    const std::function<bool(HWND, const std::string&)>& which;
    HWND found;
};

BOOL CALLBACK FindShown(HWND window, LPARAM data) {
    auto* s = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != s->process || !::IsWindowVisible(window)) return TRUE;
    char cls[32] = {};
    ::GetClassNameA(window, cls, sizeof cls);
    if (!s->which(window, cls)) return TRUE;
    s->found = window;
    return FALSE;
}

}  // namespace

Pixels PixelsOf(HDC dc, HBITMAP bitmap, int width, int height) {
    Pixels p{width, height, std::vector<COLORREF>(std::size_t(width) * height)};
    BITMAPINFO info = TopDownDib(width, height, 32);
    std::vector<RGBQUAD> bits(p.colours.size());
    ::GetDIBits(dc, bitmap, 0, height, bits.data(), &info, DIB_RGB_COLORS);
    for (std::size_t i = 0; i < bits.size(); ++i)
        p.colours[i] = RGB(bits[i].rgbRed, bits[i].rgbGreen, bits[i].rgbBlue);
    return p;
}

Pixels ScreenPixels(RECT r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    ::SelectObject(memory, old);
    Pixels p = PixelsOf(memory, bitmap, w, h);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return p;
}

ClipboardState Clipboard() {
    return {::GetClipboardSequenceNumber(), ::GetClipboardOwner(),
            ::IsClipboardFormatAvailable(CF_BITMAP) != FALSE};
}

std::optional<std::string> Setting(const char* name) {
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    char data[512] = {};
    DWORD type = 0, size = sizeof data - 1;
    const LONG status =
        ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    return std::string(data);
}

bool StoreSetting(const char* name, const std::string& value) {
    HKEY key;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          &key, nullptr) != ERROR_SUCCESS)
        return false;
    ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     DWORD(value.size() + 1));
    ::RegCloseKey(key);
    return true;
}

bool SettingsKeyExists() {
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

std::uint8_t Gray(COLORREF c) {
    return std::uint8_t((30 * GetRValue(c) + 59 * GetGValue(c) + 11 * GetBValue(c) + 50) / 100);
}

bool IsGray(COLORREF c, int tolerance) {
    return std::abs(GetRValue(c) - GetGValue(c)) <= tolerance &&
           std::abs(GetGValue(c) - GetBValue(c)) <= tolerance;
}

Pixels Part(const Pixels& p, RECT r) {
    Pixels part{r.right - r.left, r.bottom - r.top, {}};
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            part.colours.push_back(p.At(x, y));
    return part;
}

COLORREF GrayPattern(int x, int y) {
    const std::uint8_t g = Gray(Pattern(x, y));
    return RGB(g, g, g);
}

Pixels PixelsOf(const glimra::test::RgbImage& image) {
    Pixels p{image.width, image.height, {}};
    for (std::size_t i = 0; i + 2 < image.rgb.size(); i += 3)
        p.colours.push_back(RGB(image.rgb[i], image.rgb[i + 1], image.rgb[i + 2]));
    return p;
}

Pixels ClipboardPixels() {
    const std::vector<std::uint8_t> file = ClipboardPictureFile();
    if (file.empty()) return {};
    return PixelsOf(glimra::test::DecodeBmp(file));
}

std::string TextOf(HWND window) {
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

HWND ShownWindowOf(const Program& program,
                   const std::function<bool(HWND, const std::string& cls)>& which) {
    Search s{program.Id(), which, nullptr};
    ::EnumWindows(FindShown, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND ShownWindowOfClass(const Program& program, const char* cls) {
    return ShownWindowOf(program, [cls](HWND, const std::string& c) { return c == cls; });
}

HWND WaitForMenu(const Program& program) {
    HWND menu = nullptr;
    WaitFor([&] { return (menu = ShownWindowOfClass(program, "#32768")) != nullptr; }, 5000);
    return menu;
}

bool MenusClosed(const Program& program) {
    return WaitFor([&] { return !ShownWindowOfClass(program, "#32768"); }, 5000);
}

void Keys(std::initializer_list<WORD> keys) {
    for (WORD key : keys) {
        PressKey(key);
        ::Sleep(80);
    }
}

void AltAnd(WORD letter) {
    KeyEvents({{VK_MENU, true}, {letter, true}, {letter, false}, {VK_MENU, false}});
}

void RightClickAt(POINT p) {
    MoveMouseTo(p);
    ::Sleep(60);
    MouseEvent(MOUSEEVENTF_RIGHTDOWN);
    MouseEvent(MOUSEEVENTF_RIGHTUP);
}

void MouseAside() {
    MoveMouseTo({1000, 20});
    ::Sleep(200);
}

std::optional<POINT> MinimiseBox(HWND window) {
    RECT r;
    ::GetWindowRect(window, &r);
    const int y = r.top + ::GetSystemMetrics(SM_CYFRAME) + ::GetSystemMetrics(SM_CYCAPTION) / 2;
    for (int x = r.right - 1; x > r.left; --x) {
        DWORD_PTR hit = 0;
        ::SendMessageTimeoutA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000,
                              &hit);
        if (hit == HTMINBUTTON) return POINT{x - 3, y};
    }
    return std::nullopt;
}

HWND OpenTrayMenu(const Program& program) {
    RECT bar{};
    ::GetWindowRect(::FindWindowA("Shell_TrayWnd", nullptr), &bar);
    const int step = ::GetSystemMetrics(SM_CXSMICON) + 4;
    for (int place = 0; place < 6; ++place) {
        RightClickAt({bar.right - step / 2 - place * step, (bar.top + bar.bottom) / 2});
        HWND menu = nullptr;
        if (WaitFor([&] { return (menu = ShownWindowOfClass(program, "#32768")) != nullptr; },
                    1500))
            return menu;
    }
    return nullptr;
}

bool CopyWithTheButton(HWND main) {
    const DWORD before = ::GetClipboardSequenceNumber();
    return ClickUntil(CentreOf(main, EditButton::Copy), [&] {
        const ClipboardState now = Clipboard();
        return now.sequence != before && now.owner == main && now.bitmap;
    });
}

Pixels ViewShows(HWND main, int width, int height) {
    const POINT origin = PicturePoint(main, 0, 0);
    return ScreenPixels({origin.x, origin.y, origin.x + width, origin.y + height});
}

bool ViewEndsAt(HWND main, int width, int height) {
    const COLORREF area = ::GetSysColor(COLOR_APPWORKSPACE);
    const Pixels right = ViewShows(main, width + 3, 1), below = ViewShows(main, 1, height + 3);
    return right.At(width + 1, 0) == area && below.At(0, height + 1) == area;
}

HWND OpenSaveDialog(const Program& program, HWND main) {
    ::SetForegroundWindow(main);
    ::Sleep(200);
    AltAnd('F');
    if (!WaitForMenu(program)) return nullptr;
    Keys({VK_DOWN, VK_RETURN});  // its second entry, after "Open..."
    HWND dialog = nullptr;
    WaitFor(
        [&] {
            dialog = ShownWindowOfClass(program, "#32770");
            return dialog && (::GetDlgItem(dialog, cmb13) || ::GetDlgItem(dialog, edt1));
        },
        8000);
    ::Sleep(300);
    return dialog;
}

namespace {

FILETIME WrittenAt(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

bool Readable(const std::string& path) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    return true;
}

struct Question {
    HWND dialog, found;
};

BOOL CALLBACK FindQuestion(HWND window, LPARAM data) {
    auto* q = reinterpret_cast<Question*>(data);
    char cls[16] = {};
    ::GetClassNameA(window, cls, sizeof cls);
    if (window == q->dialog || !::IsWindowVisible(window) || std::string(cls) != "#32770")
        return TRUE;
    q->found = window;
    return FALSE;
}

// A shown dialog of the thread of `dialog` other than that one: the question it asks.
HWND QuestionOf(HWND dialog) {
    Question q{dialog, nullptr};
    ::EnumThreadWindows(::GetWindowThreadProcessId(dialog, nullptr), FindQuestion,
                        reinterpret_cast<LPARAM>(&q));
    return q.found;
}

}  // namespace

void SaveInDialog(HWND dialog, int type, const std::string& path, bool replace) {
    if (!replace) ::DeleteFileA(path.c_str());
    const FILETIME before = WrittenAt(path);
    HWND types = ::GetDlgItem(dialog, cmb1);
    ::SendMessageA(types, CB_SETCURSEL, type - 1, 0);
    for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
        ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, code), reinterpret_cast<LPARAM>(types));
    HWND name =
        ::GetDlgItem(dialog, cmb13) ? ::GetDlgItem(dialog, cmb13) : ::GetDlgItem(dialog, edt1);
    ::SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    if (!replace) {
        // Clicked again where Wine lost the click: the dialog is still there.
        RECT r;
        ::GetWindowRect(::GetDlgItem(dialog, IDOK), &r);
        ClickUntil(
            {(r.left + r.right) / 2, (r.top + r.bottom) / 2}, [&] { return !::IsWindow(dialog); },
            5000);
    } else {
        ClickWindow(::GetDlgItem(dialog, IDOK));
    }
    if (replace) {
        HWND question = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (question = QuestionOf(dialog)) != nullptr; }, 5000))
            << "no question whether to replace " << path;
        ::Sleep(200);
        HWND yes = ::GetDlgItem(question, IDYES);
        ASSERT_NE(yes, nullptr) << "the question has no Yes";
        RECT r;
        ::GetWindowRect(yes, &r);
        ASSERT_TRUE(ClickUntil({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, [&] {
            return !::IsWindow(question);
        })) << "the question stays";
    }
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, 5000)) << "the dialog stays";
    // Until the file can be read: for a moment after the program has moved its
    // new file into place, the handle of the move, open for deletion, refuses
    // readers that do not share deletion.
    ASSERT_TRUE(WaitFor(
        [&] {
            const FILETIME now = WrittenAt(path);
            return Readable(path) && (!replace || ::CompareFileTime(&now, &before) != 0);
        },
        5000))
        << (replace ? "not saved over " : "no file ") << path;
}

void SaveAs(const Program& program, HWND main, int type, const std::string& path,
            const std::string& screenshot) {
    HWND dialog = OpenSaveDialog(program, main);
    ASSERT_NE(dialog, nullptr) << program.DescribeWindows();
    if (!screenshot.empty()) SaveScreenshot(dialog, screenshot);
    SaveInDialog(dialog, type, path);
}

void PassTheReminder(const Program& program, HWND main, const std::string& screenshot) {
    HWND reminder = program.WaitForWindow("Glimra", 5000);
    ASSERT_NE(reminder, nullptr) << program.DescribeWindows();
    HWND ok = ::FindWindowExA(reminder, nullptr, "Button", nullptr);
    ASSERT_TRUE(WaitFor([&] { return TextOf(ok) == "Ok" && ::IsWindowEnabled(ok); }, 9000));
    EXPECT_FALSE(::IsWindowEnabled(main));
    SaveScreenshot(reminder, screenshot);
    RECT r;
    ::GetWindowRect(ok, &r);
    ASSERT_TRUE(ClickUntil({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, [&] {
        return ::IsWindowEnabled(main) && !::IsWindowVisible(reminder);
    }));
    ::SetForegroundWindow(main);
    ::Sleep(300);
}

bool CaptureWithKey(WORD key, HWND main) {
    PressKey(key);
    if (!WaitFor([&] { return !::IsWindowVisible(main); }, 5000)) return false;
    const bool back = WaitFor([&] { return ::IsWindowVisible(main); }, 5000);
    ::Sleep(300);
    return back;
}

bool Responds(HWND window, DWORD milliseconds) {
    DWORD_PTR answer = 0;
    return ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, milliseconds, &answer) !=
           0;
}

HWND WaitForOverlay(const char* caption) {
    HWND overlay = nullptr;
    WaitFor(
        [&] {
            overlay = ::FindWindowA(nullptr, caption);
            return overlay && ::IsWindowVisible(overlay) && ::GetForegroundWindow() == overlay;
        },
        8000);
    ::Sleep(200);
    return overlay;
}

void MoveAndRest(POINT p) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        MoveMouseTo(p);
        bool rests = true;
        for (int poll = 0; poll < 5 && rests; ++poll) {
            POINT now;
            ::GetCursorPos(&now);
            rests = now.x == p.x && now.y == p.y;
            ::Sleep(20);
        }
        if (rests) break;
    }
    ::Sleep(100);
}

void DragInView(HWND main, POINT from, POINT to) {
    MoveAndRest(PicturePoint(main, from.x, from.y));
    MouseEvent(MOUSEEVENTF_LEFTDOWN);
    ::Sleep(100);
    MoveAndRest(PicturePoint(main, (from.x + to.x) / 2, (from.y + to.y) / 2));
    MoveAndRest(PicturePoint(main, to.x, to.y));
    MouseEvent(MOUSEEVENTF_LEFTUP);
    ::Sleep(300);
}

void ExitWithTheMenu(Program& program, HWND main, WORD fileLetter, WORD exitLetter) {
    ::SetForegroundWindow(main);
    ::Sleep(200);
    AltAnd(fileLetter);
    ASSERT_NE(WaitForMenu(program), nullptr) << "no File menu";
    Keys({exitLetter});
    ASSERT_TRUE(program.WaitForExit(8000)) << program.DescribeWindows();
    EXPECT_EQ(program.ExitCode(), 0u);
}

}  // namespace glimra::test
