// The clipboard copy on the real clipboard of the Wine session: what it holds
// afterwards, pixel layouts and palettes, and a clipboard that another program
// holds open.
#include "output/clipboard_copy.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ui/TBitmap.h"
#include "ui/handles.h"

namespace glimra {
namespace {

std::string helperPath;  // clipboard_holder.exe, from the command line

// A picture whose every pixel differs from its neighbours.
void Paint(ui::TBitmap& picture, int width, int height) {
    picture.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.Canvas().SetPixel(x, y, RGB(x * 7, y * 11, (x + y) * 3));
}

// The clipboard's formats, in its order.
std::vector<UINT> Formats() {
    std::vector<UINT> formats;
    if (!::OpenClipboard(nullptr)) return formats;
    for (UINT f = ::EnumClipboardFormats(0); f != 0; f = ::EnumClipboardFormats(f))
        formats.push_back(f);
    ::CloseClipboard();
    return formats;
}

void PutText(const char* text) {
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
    std::strcpy(static_cast<char*>(::GlobalLock(memory)), text);
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_TEXT, memory);
    ::CloseClipboard();
}

std::string Text() {
    std::string text;
    if (!::OpenClipboard(nullptr)) return "(not open)";
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(::GlobalLock(data));
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return text;
}

struct ClipboardBitmap {
    int width = 0, height = 0, bitsPerPixel = 0;
    std::vector<COLORREF> pixels;  // from the top, as GetPixel reads them
    std::vector<PALETTEENTRY> palette;
};

ClipboardBitmap ReadClipboardBitmap() {
    ClipboardBitmap result;
    if (!::OpenClipboard(nullptr)) return result;
    if (HBITMAP bitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP))) {
        BITMAP bm{};
        ::GetObjectA(bitmap, sizeof bm, &bm);
        result.width = bm.bmWidth;
        result.height = bm.bmHeight;
        result.bitsPerPixel = bm.bmBitsPixel;
        ui::MemoryDC dc(::CreateCompatibleDC(nullptr));
        ui::Selection select(dc.Get(), bitmap);
        for (int y = 0; y < bm.bmHeight; ++y)
            for (int x = 0; x < bm.bmWidth; ++x)
                result.pixels.push_back(::GetPixel(dc.Get(), x, y));
    }
    if (HPALETTE palette = static_cast<HPALETTE>(::GetClipboardData(CF_PALETTE))) {
        result.palette.resize(::GetPaletteEntries(palette, 0, 0, nullptr));
        ::GetPaletteEntries(palette, 0, static_cast<UINT>(result.palette.size()),
                            result.palette.data());
    }
    ::CloseClipboard();
    return result;
}

std::vector<COLORREF> PixelsOf(ui::TBitmap& picture) {
    std::vector<COLORREF> pixels;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            pixels.push_back(picture.Canvas().Pixel(x, y));
    return pixels;
}

// The clipboard was closed again: anyone may open it.
bool ClipboardIsClosed() {
    return ::GetOpenClipboardWindow() == nullptr && ::OpenClipboard(nullptr) && ::CloseClipboard();
}

TEST(ClipboardCopy, TwoCopiesLeaveOneBitmapEqualToThePictureInItsLayout) {
    for (ui::TPixelFormat format : {ui::TPixelFormat::pf24bit, ui::TPixelFormat::pf32bit}) {
        PutText("before");
        ui::TBitmap picture;
        picture.SetPixelFormat(format);
        Paint(picture, 37, 21);
        CopyToClipboard(nullptr, picture.Handle());
        CopyToClipboard(nullptr, picture.Handle());
        EXPECT_TRUE(ClipboardIsClosed());
        const std::vector<UINT> formats = Formats();
        EXPECT_EQ(std::count(formats.begin(), formats.end(), CF_BITMAP), 1);
        EXPECT_EQ(std::count(formats.begin(), formats.end(), CF_TEXT), 0) << "emptied first";
        EXPECT_EQ(std::count(formats.begin(), formats.end(), CF_PALETTE), 0);

        // Changing the picture afterwards does not change the clipboard's copy.
        const std::vector<COLORREF> copied = PixelsOf(picture);
        picture.Canvas().SetPixel(0, 0, RGB(1, 2, 3));
        const ClipboardBitmap held = ReadClipboardBitmap();
        EXPECT_EQ(held.width, 37);
        EXPECT_EQ(held.height, 21);
        EXPECT_EQ(held.bitsPerPixel, ui::TBitmap::BitsFor(format));
        EXPECT_EQ(held.pixels, copied);
    }
}

TEST(ClipboardCopy, APictureWithAColourTableHandsOverItsPalette) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[4];
    } info{};
    info.header = {sizeof(BITMAPINFOHEADER), 8, -3, 1, 8, BI_RGB, 0, 0, 0, 4, 0};
    info.colours[0] = {0, 0, 0, 0};
    info.colours[1] = {255, 0, 0, 0};    // blue
    info.colours[2] = {0, 128, 0, 0};    // green
    info.colours[3] = {10, 20, 250, 0};  // red
    void* bits = nullptr;
    ui::Bitmap picture(::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info),
                                          DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(picture);
    auto* rows = static_cast<std::uint8_t*>(bits);
    for (int i = 0; i < 8 * 3; ++i)
        rows[i] = static_cast<std::uint8_t>(i % 4);
    CopyToClipboard(nullptr, picture.Get());

    const ClipboardBitmap held = ReadClipboardBitmap();
    EXPECT_EQ(held.bitsPerPixel, 8);
    ASSERT_EQ(held.palette.size(), 4u);
    EXPECT_EQ(held.palette[1].peBlue, 255);
    EXPECT_EQ(held.palette[2].peGreen, 128);
    EXPECT_EQ(held.palette[3].peRed, 250);
    EXPECT_EQ(held.palette[3].peGreen, 20);
    ASSERT_EQ(held.pixels.size(), 24u);
    EXPECT_EQ(held.pixels[3], RGB(250, 20, 10));
    EXPECT_EQ(held.pixels[5], RGB(0, 0, 255));
}

TEST(ClipboardCopy, AClipboardHeldByAnotherProgramIsReportedAndLeftAsItWas) {
    ASSERT_FALSE(helperPath.empty()) << "pass the path of clipboard_holder.exe";
    PutText("kept");
    const std::string heldName = "glimra-clipboard-held-" + std::to_string(::GetCurrentProcessId());
    const std::string releaseName = heldName + "-release";
    ui::Owned<ui::HandleTraits<HANDLE, ::CloseHandle>> held(
        ::CreateEventA(nullptr, TRUE, FALSE, heldName.c_str()));
    ui::Owned<ui::HandleTraits<HANDLE, ::CloseHandle>> release(
        ::CreateEventA(nullptr, TRUE, FALSE, releaseName.c_str()));
    std::string command = "\"" + helperPath + "\" " + heldName + " " + releaseName;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &process));
    ::CloseHandle(process.hThread);
    ASSERT_EQ(::WaitForSingleObject(held.Get(), 10000), WAIT_OBJECT_0);

    const DWORD sequence = ::GetClipboardSequenceNumber();
    ui::TBitmap picture;
    Paint(picture, 5, 4);
    std::string error;
    try {
        CopyToClipboard(nullptr, picture.Handle());
    } catch (const std::runtime_error& e) {
        error = e.what();
    }
    EXPECT_EQ(error, "Cannot open clipboard");
    EXPECT_EQ(::GetClipboardSequenceNumber(), sequence);

    ::SetEvent(release.Get());
    EXPECT_EQ(::WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
    ::CloseHandle(process.hProcess);
    EXPECT_EQ(Text(), "kept");
    const std::vector<UINT> formats = Formats();
    EXPECT_EQ(std::count(formats.begin(), formats.end(), CF_BITMAP), 0);
    EXPECT_TRUE(ClipboardIsClosed());
}

TEST(ClipboardCopy, AnEmptyPictureIsReportedAndTheClipboardKeepsItsContent) {
    PutText("still here");
    ui::TBitmap empty;
    empty.SetSize(0, 12);
    EXPECT_THROW(CopyToClipboard(nullptr, empty.Handle()), std::runtime_error);
    EXPECT_EQ(Text(), "still here");
    EXPECT_TRUE(ClipboardIsClosed());
}

}  // namespace
}  // namespace glimra

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc > 1) glimra::helperPath = argv[1];
    return RUN_ALL_TESTS();
}
