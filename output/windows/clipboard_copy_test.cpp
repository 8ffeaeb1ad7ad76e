// The clipboard copy on the real clipboard of the Wine session: what it holds
// afterwards, pixel layouts, and a clipboard that another program holds open.
#include "output/windows/clipboard_copy.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "testing/imaging/test_picture.h"
#include "testing/output/decoders.h"
#include "testing/desktop/Desktop.h"
#include "win/handles.h"

namespace glimra {
namespace {

std::string helperPath;  // clipboard_holder.exe, from the command line

// Windows of this program: the copy's owner, and another that checks the
// clipboard was closed (the system lets the same owner open it again).
HWND NewWindow() {
    return ::CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}
const HWND owner = NewWindow(), checker = NewWindow();

// A picture whose every pixel differs from its neighbours.
void Paint(test::TestPicture& picture) {
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            picture.Set(x, y, test::TestPicture::Colour(x * 7, y * 11, (x + y) * 3));
}

// The clipboard's formats, in its order.
std::vector<UINT> Formats() {
    std::vector<UINT> formats;
    if (!::OpenClipboard(checker)) return formats;
    for (UINT f = ::EnumClipboardFormats(0); f != 0; f = ::EnumClipboardFormats(f))
        formats.push_back(f);
    ::CloseClipboard();
    return formats;
}

void PutText(const char* text) {
    ASSERT_TRUE(::OpenClipboard(checker));
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
    std::strcpy(static_cast<char*>(::GlobalLock(memory)), text);
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_TEXT, memory);
    ::CloseClipboard();
}

std::string Text() {
    std::string text;
    if (!::OpenClipboard(checker)) return "(not open)";
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(::GlobalLock(data));
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return text;
}

// A pixel of a test picture as GDI gives a colour, and back.
COLORREF ColourRef(std::uint32_t pixel) {
    return RGB(pixel >> 16, pixel >> 8, pixel);
}
std::uint32_t PixelOf(COLORREF colour) {
    return test::TestPicture::Colour(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

std::vector<COLORREF> PixelsOf(const test::TestPicture& picture) {
    std::vector<COLORREF> pixels;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            pixels.push_back(ColourRef(picture.Get(x, y)));
    return pixels;
}

// The clipboard was closed again: anyone may open it.
bool ClipboardIsClosed() {
    return ::GetOpenClipboardWindow() == nullptr && ::OpenClipboard(nullptr) && ::CloseClipboard();
}

TEST(ClipboardCopy, TwoCopiesLeaveOneBitmapEqualToThePictureInItsLayout) {
    for (const int bytesPerPixel : {3, 4}) {
        PutText("before");
        test::TestPicture picture(37, 21, bytesPerPixel);
        Paint(picture);
        CopyToClipboard(owner, picture.View());
        CopyToClipboard(owner, picture.View());
        EXPECT_TRUE(ClipboardIsClosed());
        const std::vector<UINT> formats = Formats();
        EXPECT_EQ(std::count(formats.begin(), formats.end(), CF_BITMAP), 1);
        EXPECT_EQ(std::count(formats.begin(), formats.end(), CF_DIB), 1);
        EXPECT_EQ(std::count(formats.begin(), formats.end(), CF_TEXT), 0) << "emptied first";
        EXPECT_EQ(std::count(formats.begin(), formats.end(), CF_PALETTE), 0);

        // Changing the picture afterwards does not change the clipboard's copy.
        const std::vector<COLORREF> copied = PixelsOf(picture);
        picture.Set(0, 0, PixelOf(RGB(1, 2, 3)));
        const test::ClipboardBitmap held = test::ReadClipboardBitmap(checker);
        EXPECT_EQ(held.width, 37);
        EXPECT_EQ(held.height, 21);
        EXPECT_EQ(held.bitsPerPixel, 8 * bytesPerPixel);
        EXPECT_EQ(held.pixels, copied);
        // The same pixels as a packed bitmap of the same layout, rows from the bottom.
        const std::vector<std::uint8_t> file = test::ClipboardPictureFile();
        ASSERT_GE(file.size(), 54u);
        EXPECT_EQ(file[28], 8 * bytesPerPixel);
        // Opaque: the fourth byte of a 32-bit pixel is 255 (the picture's own is 0).
        if (bytesPerPixel == 4) {
            const std::size_t offset = file[10] | file[11] << 8;
            const std::size_t end = offset + 37u * 21u * 4u;
            ASSERT_GE(file.size(), end);
            for (std::size_t i = offset + 3; i < end; i += 4)
                ASSERT_EQ(file[i], 0xFF) << "byte " << i;
        }
        picture.Set(0, 0, PixelOf(copied[0]));
        EXPECT_EQ(test::DecodeBmp(file), test::RgbOf(picture.View()));
    }
}

TEST(ClipboardCopy, AClipboardHeldByAnotherProgramIsReportedAndLeftAsItWas) {
    ASSERT_FALSE(helperPath.empty()) << "pass the path of clipboard_holder.exe";
    PutText("kept");
    const std::string heldName = "glimra-clipboard-held-" + std::to_string(::GetCurrentProcessId());
    const std::string releaseName = heldName + "-release";
    win::Owned<win::HandleTraits<HANDLE, ::CloseHandle>> held(
        ::CreateEventA(nullptr, TRUE, FALSE, heldName.c_str()));
    win::Owned<win::HandleTraits<HANDLE, ::CloseHandle>> release(
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
    test::TestPicture picture(5, 4, 4);
    Paint(picture);
    std::string error;
    try {
        CopyToClipboard(owner, picture.View());
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
    test::TestPicture empty(0, 12, 4);
    EXPECT_THROW(CopyToClipboard(owner, empty.View()), std::runtime_error);
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
