// Pictures brought into glimra.exe from outside, driven by keys as a person
// would and read back with Copy: a BMP, JPEG, GIF and PNG file opened in the open
// dialog (one from a folder the ANSI code page cannot spell), files dropped on
// the main window, and the clipboard's picture pasted in each format another
// program puts there. A damaged file, a file that is no picture, one too large
// to hold, and a clipboard without a picture each say so and leave the picture
// as it was.
#include <windows.h>

#include <dlgs.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/Settings.h"
#include "output/bmp_writer.h"
#include "output/gif_writer.h"
#include "output/jpeg_writer.h"
#include "output/png_writer.h"
#include "testing/desktop/Desktop.h"
#include "testing/desktop/MainWindowLayout.h"
#include "testing/desktop/Program.h"
#include "testing/desktop/ProgramDriving.h"
#include "win/Utf8.h"

namespace {

using namespace glimra::test;

constexpr const char* kCaption = "Norvanta Glimra 1.3";
constexpr int kWidth = 96, kHeight = 64, kBlock = 16;

// Blocks of 16 x 16 pixels in six colours, shifted by `k` so that each picture
// brought in differs from the one before it. Six flat colours keep the GIF
// exact, and blocks of the JPEG's units keep it close inside each block.
COLORREF Pattern(int k, int x, int y) {
    static const COLORREF colours[] = {RGB(200, 30, 40),  RGB(20, 160, 60),   RGB(30, 60, 210),
                                       RGB(240, 220, 40), RGB(250, 250, 250), RGB(10, 10, 10)};
    return colours[(x / kBlock + 2 * (y / kBlock) + k) % 6];
}

// The alpha of the picture with transparency: opaque, half and clear columns.
std::uint8_t Alpha(int x) {
    return x < 32 ? 255 : x < 64 ? 128 : 0;
}

// The pattern as 24-bit rows from the top, and a view of them.
struct Picture {
    std::vector<std::uint8_t> bytes;
    explicit Picture(int k) : bytes(std::size_t(kWidth) * kHeight * 3) {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                std::uint8_t* p = &bytes[(std::size_t(y) * kWidth + x) * 3];
                const COLORREF c = Pattern(k, x, y);
                p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
            }
    }
    glimra::PixelView View() { return {bytes.data(), kWidth, kHeight, kWidth * 3, 3}; }
};

std::vector<std::uint8_t> Encoded(void (*write)(const glimra::PixelView&, glimra::ByteSink&),
                                  int k) {
    Picture picture(k);
    glimra::VectorSink sink;
    write(picture.View(), sink);
    return sink.Bytes();
}

bool WriteWide(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

// A PNG file of only a header that claims 100000 x 100000 pixels, with its
// checksums right, so that only the size can refuse it.
std::vector<std::uint8_t> HugePngHeader() {
    auto crc = [](const std::uint8_t* p, std::size_t n) {
        std::uint32_t c = 0xFFFFFFFF;
        for (std::size_t i = 0; i < n; ++i) {
            c ^= p[i];
            for (int b = 0; b < 8; ++b)
                c = c & 1 ? 0xEDB88320 ^ (c >> 1) : c >> 1;
        }
        return ~c;
    };
    std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', 13, 10, 26, 10};
    auto chunk = [&](const char* type, std::vector<std::uint8_t> data) {
        const std::uint32_t n = std::uint32_t(data.size());
        for (int s = 24; s >= 0; s -= 8)
            file.push_back(std::uint8_t(n >> s));
        std::vector<std::uint8_t> typed(type, type + 4);
        typed.insert(typed.end(), data.begin(), data.end());
        file.insert(file.end(), typed.begin(), typed.end());
        const std::uint32_t c = crc(typed.data(), typed.size());
        for (int s = 24; s >= 0; s -= 8)
            file.push_back(std::uint8_t(c >> s));
    };
    const std::uint32_t side = 100000;
    std::vector<std::uint8_t> header;
    for (int i = 0; i < 2; ++i)
        for (int s = 24; s >= 0; s -= 8)
            header.push_back(std::uint8_t(side >> s));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    chunk("IHDR", header);
    chunk("IDAT", {0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01});  // no bytes, deflated
    chunk("IEND", {});
    return file;
}

// ---- The clipboard as another program fills it.

HGLOBAL Global(const void* bytes, std::size_t size) {
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(::GlobalLock(memory), bytes, size);
    ::GlobalUnlock(memory);
    return memory;
}

// A packed DIB of pattern `k`: 24-bit bottom-up with the classic header, or
// 32-bit top-down with a version-5 header whose alpha mask is set.
HGLOBAL PackedDib(int k, bool withAlpha) {
    std::vector<std::uint8_t> dib;
    if (!withAlpha) {
        BITMAPINFOHEADER h{};
        h.biSize = sizeof h, h.biWidth = kWidth, h.biHeight = kHeight, h.biPlanes = 1;
        h.biBitCount = 24, h.biCompression = BI_RGB;
        dib.assign(reinterpret_cast<std::uint8_t*>(&h), reinterpret_cast<std::uint8_t*>(&h + 1));
        for (int y = kHeight - 1; y >= 0; --y)
            for (int x = 0; x < kWidth; ++x) {
                const COLORREF c = Pattern(k, x, y);
                dib.insert(dib.end(), {GetBValue(c), GetGValue(c), GetRValue(c)});
            }
    } else {
        BITMAPV5HEADER h{};
        h.bV5Size = sizeof h, h.bV5Width = kWidth, h.bV5Height = -kHeight, h.bV5Planes = 1;
        h.bV5BitCount = 32, h.bV5Compression = BI_BITFIELDS;
        h.bV5RedMask = 0xFF0000, h.bV5GreenMask = 0xFF00, h.bV5BlueMask = 0xFF;
        h.bV5AlphaMask = 0xFF000000, h.bV5CSType = 0x73524742;  // 'sRGB'
        dib.assign(reinterpret_cast<std::uint8_t*>(&h), reinterpret_cast<std::uint8_t*>(&h + 1));
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const COLORREF c = Pattern(k, x, y);
                dib.insert(dib.end(), {GetBValue(c), GetGValue(c), GetRValue(c), Alpha(x)});
            }
    }
    return Global(dib.data(), dib.size());
}

// Replaces the clipboard's content with these formats, owned by a window of
// this process.
bool PutOnClipboard(const std::vector<std::pair<UINT, HANDLE>>& formats) {
    static HWND owner = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr,
                                          ::GetModuleHandleA(nullptr), nullptr);
    if (!OpenClipboardSoon(owner)) return false;
    bool ok = ::EmptyClipboard() != 0;
    for (const auto& [format, data] : formats)
        ok &= ::SetClipboardData(format, data) != nullptr;
    ::CloseClipboard();
    return ok;
}

class OpenAndPaste : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InThrowAwayPrefix()) GTEST_SKIP() << "outside the test harness's Wine prefix";
        folder = TestFolder("open-paste");
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    }
    void TearDown() override {
        if (InThrowAwayPrefix()) ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    }
    static void Activate(HWND main) {
        ::SetForegroundWindow(main);
        WaitFor([&] { return ::GetForegroundWindow() == main; }, 3000);
        ::Sleep(150);
    }
    static void CtrlAnd(HWND main, WORD key) {
        Activate(main);
        KeyEvents({{VK_CONTROL, true}, {key, true}});
        ::Sleep(100);
        KeyEvents({{key, false}, {VK_CONTROL, false}});
    }
    static Pixels Copied(HWND main) {
        MouseAside();
        return CopyWithTheButton(main) ? ClipboardPixels() : Pixels{};
    }
    // Ctrl+O, the path typed into the open dialog's name box, and Open.
    void OpenInDialog(HWND main, const std::wstring& path, const std::string& shot = "") {
        CtrlAnd(main, 'O');
        HWND dialog = nullptr;
        ASSERT_TRUE(WaitFor(
            [&] { return (dialog = ShownWindowOfClass(*program, "#32770")) != nullptr; }, 8000))
            << "no open dialog";
        ::Sleep(300);
        if (!shot.empty()) SaveScreenshot(dialog, shot);
        HWND name =
            ::GetDlgItem(dialog, cmb13) ? ::GetDlgItem(dialog, cmb13) : ::GetDlgItem(dialog, edt1);
        ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        RECT r;
        ::GetWindowRect(::GetDlgItem(dialog, IDOK), &r);
        ASSERT_TRUE(ClickUntil(
            {(r.left + r.right) / 2, (r.top + r.bottom) / 2}, [&] { return !::IsWindow(dialog); },
            5000))
            << "the open dialog stays";
    }
    // The files as a drop on the main window. Under Wine a block of global
    // memory does not cross processes with the message, as Windows' shell
    // hands it over: the DROPFILES block is written into the program's own
    // memory, whose address GlobalLock takes as a fixed block's.
    void Drop(HWND main, const std::vector<std::wstring>& files) {
        std::vector<std::uint8_t> block(sizeof(DROPFILES));
        auto* header = reinterpret_cast<DROPFILES*>(block.data());
        header->pFiles = sizeof(DROPFILES);
        header->pt = {20, 20};
        header->fWide = TRUE;
        for (const std::wstring& file : files) {
            const auto* p = reinterpret_cast<const std::uint8_t*>(file.c_str());
            block.insert(block.end(), p, p + (file.size() + 1) * sizeof(wchar_t));
        }
        block.insert(block.end(), sizeof(wchar_t), 0);
        HANDLE process =
            ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, program->Id());
        ASSERT_NE(process, nullptr);
        void* remote = ::VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE,
                                        PAGE_READWRITE);
        ASSERT_NE(remote, nullptr);
        ASSERT_TRUE(::WriteProcessMemory(process, remote, block.data(), block.size(), nullptr));
        ::CloseHandle(process);
        ASSERT_TRUE(::PostMessageW(main, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0));
    }
    // The program's message box once it is up: its text, after which OK closes it.
    std::string Answer(const std::string& shot = "") {
        HWND box = nullptr;
        if (!WaitFor([&] { return (box = ShownWindowOfClass(*program, "#32770")) != nullptr; },
                     8000))
            return "(no message) " + program->DescribeWindows();
        ::Sleep(300);
        if (!shot.empty()) SaveScreenshot(box, shot);
        wchar_t text[1024] = {};
        ::GetWindowTextW(::GetDlgItem(box, 0xFFFF), text, 1024);
        RECT r;
        ::GetWindowRect(::GetDlgItem(box, IDOK), &r);
        ClickUntil({(r.left + r.right) / 2, (r.top + r.bottom) / 2},
                   [&] { return !::IsWindow(box); });
        return win::Utf8Path(text);
    }
    // The picture after Copy is pattern `k`, over white where `alpha` says so;
    // with a `tolerance`, within it away from the blocks' edges, where a JPEG's
    // colours run into the next block.
    static std::string Differs(const Pixels& p, int k, int tolerance = 0, bool alpha = false) {
        if (p.width != kWidth || p.height != kHeight)
            return "a picture of " + std::to_string(p.width) + " x " + std::to_string(p.height);
        return Mismatch(
            p,
            [&](int x, int y) {
                auto edge = [](int v) { return v % kBlock < 3 || v % kBlock > kBlock - 4; };
                if (tolerance > 1 && (edge(x) || edge(y))) return p.At(x, y);
                const COLORREF c = Pattern(k, x, y);
                const int a = alpha ? Alpha(x) : 255;
                auto over = [a](int v) { return (v * a + 255 * (255 - a) + 127) / 255; };
                return RGB(over(GetRValue(c)), over(GetGValue(c)), over(GetBValue(c)));
            },
            tolerance);
    }

    std::string folder;
    std::unique_ptr<Program> program;
};

TEST_F(OpenAndPaste, EachKindOfFileDropsAndEachClipboardFormat_AndWhatCannotBeReadChangesNothing) {
    const std::wstring dir = win::WidePath(folder);
    // A folder of Greek letters, which the ANSI code page of the test cannot spell.
    const std::wstring greek = dir + L"\\\x0395\x03B9\x03BA\x03CC\x03BD\x03B5\x03C2";
    ASSERT_TRUE(::CreateDirectoryW(greek.c_str(), nullptr) ||
                ::GetLastError() == ERROR_ALREADY_EXISTS);
    const std::wstring bmp = dir + L"\\one.bmp", jpeg = greek + L"\\two.jpg",
                       gif = dir + L"\\three.gif", png = dir + L"\\four.png",
                       text = dir + L"\\notes.txt", cut = dir + L"\\cut.png",
                       huge = dir + L"\\huge.png";
    ASSERT_TRUE(WriteWide(bmp, Encoded(glimra::WriteBmp, 0)));
    ASSERT_TRUE(WriteWide(jpeg, Encoded(glimra::WriteJpeg, 1)));
    ASSERT_TRUE(WriteWide(gif, Encoded(glimra::WriteGif, 2)));
    const std::vector<std::uint8_t> pngBytes = Encoded(glimra::WritePng, 3);
    ASSERT_TRUE(WriteWide(png, pngBytes));
    ASSERT_TRUE(WriteWide(text, {'n', 'o', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e', '\n'}));
    ASSERT_TRUE(WriteWide(cut, {pngBytes.begin(), pngBytes.begin() + pngBytes.size() / 2}));
    ASSERT_TRUE(WriteWide(huge, HugePngHeader()));

    program = std::make_unique<Program>(ProgramPath(), folder);
    HWND main = program->WaitForWindow(kCaption);
    ASSERT_NE(main, nullptr) << program->DescribeWindows();
    PassTheReminder(*program, main, "");
    MouseAside();

    // An empty window takes a paste: an empty clipboard says so.
    ASSERT_TRUE(PutOnClipboard({}));
    CtrlAnd(main, 'V');
    EXPECT_EQ(Answer("open-paste-empty-clipboard"), "The clipboard holds no picture.");

    // Each kind of file through the dialog, read back exactly (the JPEG closely).
    OpenInDialog(main, bmp, "open-paste-dialog");
    EXPECT_EQ(Differs(Copied(main), 0), "") << "BMP";
    OpenInDialog(main, jpeg);
    EXPECT_EQ(Differs(Copied(main), 1, 12), "") << "JPEG from a folder of Greek letters";
    OpenInDialog(main, gif);
    EXPECT_EQ(Differs(Copied(main), 2), "") << "GIF";
    OpenInDialog(main, png);
    const Pixels opened = Copied(main);
    EXPECT_EQ(Differs(opened, 3), "") << "PNG";

    // What cannot be read is named with its reason, and the picture stays.
    OpenInDialog(main, cut);
    std::string said = Answer("open-paste-damaged");
    EXPECT_NE(said.find("cut.png"), std::string::npos) << said;
    EXPECT_NE(said.find("damaged PNG"), std::string::npos) << said;
    OpenInDialog(main, huge);
    said = Answer();
    EXPECT_NE(said.find("huge.png"), std::string::npos) << said;
    EXPECT_NE(said.find("too large"), std::string::npos) << said;
    Drop(main, {text});
    said = Answer();
    EXPECT_NE(said.find("notes.txt"), std::string::npos) << said;
    EXPECT_NE(said.find("no BMP, JPEG, GIF or PNG"), std::string::npos) << said;
    EXPECT_EQ(Copied(main), opened) << "a refused file changed the picture";

    // Several files dropped: the first picture among them.
    Drop(main, {text, gif, bmp});
    EXPECT_EQ(Differs(Copied(main), 2), "") << "the drop";

    // Pastes from another program, each format alone or beside a poorer one:
    // PNG before a packed bitmap, the version-5 bitmap's alpha over white
    // before the classic one; then the classic one alone and a bitmap handle
    // (which Wine hands over by converting it, and offers as packed bitmaps too).
    const UINT pngFormat = ::RegisterClipboardFormatA("PNG");
    const std::vector<std::uint8_t> pastedPng = Encoded(glimra::WritePng, 4);
    ASSERT_TRUE(PutOnClipboard(
        {{pngFormat, Global(pastedPng.data(), pastedPng.size())}, {CF_DIB, PackedDib(0, false)}}));
    CtrlAnd(main, 'V');
    EXPECT_EQ(Differs(Copied(main), 4), "") << "PNG";
    ASSERT_TRUE(PutOnClipboard({{CF_DIBV5, PackedDib(5, true)}, {CF_DIB, PackedDib(0, false)}}));
    // This one from the picture's right-click menu.
    Activate(main);
    RightClickAt(PicturePoint(main, 10, 10));
    ASSERT_NE(WaitForMenu(*program), nullptr) << "no picture menu";
    Keys({'P'});
    EXPECT_EQ(Differs(Copied(main), 5, 1, true), "") << "CF_DIBV5 with alpha";
    ASSERT_TRUE(PutOnClipboard({{CF_DIB, PackedDib(1, false)}}));
    CtrlAnd(main, 'V');
    EXPECT_EQ(Differs(Copied(main), 1), "") << "CF_DIB";
    {
        // A device-dependent bitmap: Wine hands no DIB section to another process.
        Picture picture(2);
        BITMAPINFO info = TopDownDib(kWidth, kHeight, 24);
        HDC screen = ::GetDC(nullptr);
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, kWidth, kHeight);
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(
            ::SetDIBits(screen, bitmap, 0, kHeight, picture.bytes.data(), &info, DIB_RGB_COLORS),
            kHeight);
        ::ReleaseDC(nullptr, screen);
        ASSERT_TRUE(PutOnClipboard({{CF_BITMAP, bitmap}}));
    }
    CtrlAnd(main, 'V');
    const Pixels pasted = Copied(main);
    EXPECT_EQ(Differs(pasted, 2), "") << "CF_BITMAP";

    // Text is no picture: the paste says so and the picture stays.
    const std::wstring words = L"words";
    ASSERT_TRUE(PutOnClipboard(
        {{CF_UNICODETEXT, Global(words.c_str(), (words.size() + 1) * sizeof(wchar_t))}}));
    CtrlAnd(main, 'V');
    EXPECT_EQ(Answer(), "The clipboard holds no picture.");
    EXPECT_EQ(Copied(main), pasted);

    // Undo goes back one picture at a time: the paste before the bitmap's.
    CtrlAnd(main, 'Z');
    EXPECT_EQ(Differs(Copied(main), 1), "") << "undo of the last paste";

    // Nothing brought in counts as a capture.
    ExitWithTheMenu(*program, main, 'F', 'X');
    EXPECT_EQ(Setting("Capture"), "0");
    EXPECT_EQ(Setting("CaptureA"), "0");
}

}  // namespace
