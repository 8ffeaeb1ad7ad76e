// What a real Windows PC asks of glimra.exe, checked from outside as another
// program would: the picture it pastes into other programs, a clipboard that
// another program holds for a moment, folders whose names are not in the ANSI
// code page, its language folder when it is started from elsewhere.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "testing/desktop/MainWindowLayout.h"
#include "testing/desktop/Program.h"
#include "testing/desktop/ProgramDriving.h"

namespace {

using namespace glimra::test;

constexpr const char* kCaption = "Norvanta Glimra 1.3";

using Handle = std::unique_ptr<void, decltype(&::CloseHandle)>;

class WindowsPc : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InThrowAwayPrefix()) GTEST_SKIP() << "outside the test harness's Wine prefix";
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = TestFolder(std::string("windows-pc-") + test->name());
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    }
    void TearDown() override {
        if (InThrowAwayPrefix()) ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    }

    // Starts the program in `workDir` and waits through its reminder.
    HWND Start(Program& program, const char* caption = kCaption) {
        HWND main = program.WaitForWindow(caption);
        if (!main) return nullptr;
        PassTheReminder(program, main, "");
        MouseAside();
        return main;
    }

    std::string folder;
};

// The clipboard's data of one format as bytes, or nothing when it has none.
std::vector<std::uint8_t> ClipboardBytes(UINT format) {
    std::vector<std::uint8_t> bytes;
    if (!::OpenClipboard(nullptr)) return bytes;
    if (HANDLE data = ::GetClipboardData(format)) {
        const SIZE_T size = ::GlobalSize(data);
        if (const auto* b = static_cast<const std::uint8_t*>(::GlobalLock(data))) {
            bytes.assign(b, b + size);
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return bytes;
}

// A packed bitmap (CF_DIB or CF_DIBV5): "" when every pixel that has a fourth
// byte has 255 there (a 24-bit one has none), else what is wrong.
std::string TransparentPixels(const std::vector<std::uint8_t>& dib) {
    if (dib.size() < sizeof(BITMAPINFOHEADER)) return "no packed bitmap";
    BITMAPINFOHEADER h;
    std::memcpy(&h, dib.data(), sizeof h);
    if (h.biBitCount == 24) return "";
    if (h.biBitCount != 32) return "a bitmap of " + std::to_string(h.biBitCount) + " bits";
    std::size_t offset = h.biSize + std::size_t(h.biClrUsed) * 4;
    if (h.biCompression == BI_BITFIELDS && h.biSize == sizeof(BITMAPINFOHEADER)) offset += 12;
    std::uint32_t alphaMask = 0xFF000000u;
    if (h.biSize >= sizeof(BITMAPV4HEADER)) {
        BITMAPV4HEADER v4;
        std::memcpy(&v4, dib.data(), sizeof v4);
        // A bitmap that names no alpha channel has none.
        if (h.biCompression == BI_BITFIELDS) alphaMask = v4.bV4AlphaMask;
        if (alphaMask == 0) alphaMask = 0xFF000000u;
    }
    const std::size_t pixels = std::size_t(h.biWidth) * std::size_t(std::abs(h.biHeight));
    if (dib.size() < offset + pixels * 4) return "the bitmap is cut short";
    for (std::size_t i = 0; i < pixels; ++i) {
        std::uint32_t pixel;
        std::memcpy(&pixel, dib.data() + offset + i * 4, 4);
        if ((pixel & alphaMask) != alphaMask)
            return "pixel " + std::to_string(i) + " has alpha " +
                   std::to_string((pixel & alphaMask) >> 24);
    }
    return "";
}

TEST_F(WindowsPc, ThePastedPictureIsOpaque) {
    Program program(ProgramPath(), folder);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr) << program.DescribeWindows();
    ASSERT_TRUE(CaptureWithKey(VK_F7, main)) << program.DescribeWindows();
    ASSERT_TRUE(CopyWithTheButton(main));
    for (UINT format : {UINT(CF_DIB), UINT(CF_DIBV5)}) {
        SCOPED_TRACE(format == CF_DIB ? "CF_DIB" : "CF_DIBV5");
        const std::vector<std::uint8_t> dib = ClipboardBytes(format);
        ASSERT_FALSE(dib.empty());
        BITMAPINFOHEADER h;
        std::memcpy(&h, dib.data(), sizeof h);
        EXPECT_EQ(h.biWidth, 1024);
        EXPECT_EQ(std::abs(h.biHeight), 768);
        EXPECT_EQ(TransparentPixels(dib), "");
    }
    ExitWithTheMenu(program, main, 'F', 'X');
}

// Another program that holds the clipboard open until told to let go
// (testing/desktop/clipboard_holder).
class ClipboardHolder {
  public:
    ClipboardHolder()
        : held_(::CreateEventA(nullptr, TRUE, FALSE, Name("held").c_str()), &::CloseHandle),
          release_(::CreateEventA(nullptr, TRUE, FALSE, Name("release").c_str()), &::CloseHandle) {
        const auto args = ::testing::internal::GetArgvs();
        std::string helper = args.size() > 2 ? WindowsPath(args[2]) : "";
        std::string command = "\"" + helper + "\" " + Name("held") + " " + Name("release");
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process_))
            ::CloseHandle(process_.hThread);
    }
    ~ClipboardHolder() {
        Release();
        if (process_.hProcess) ::CloseHandle(process_.hProcess);
    }
    bool Holding() const {
        return process_.hProcess && ::WaitForSingleObject(held_.get(), 10000) == WAIT_OBJECT_0;
    }
    bool Release() {
        ::SetEvent(release_.get());
        return !process_.hProcess ||
               ::WaitForSingleObject(process_.hProcess, 10000) == WAIT_OBJECT_0;
    }

  private:
    static std::string Name(const char* what) {
        return "glimra-windows-pc-" + std::to_string(::GetCurrentProcessId()) + "-" + what;
    }
    Handle held_, release_;
    PROCESS_INFORMATION process_{};
};

void PutText(const char* text) {
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
    std::strcpy(static_cast<char*>(::GlobalLock(memory)), text);
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_TEXT, memory);
    ::CloseClipboard();
}

std::string ClipboardText() {
    const std::vector<std::uint8_t> bytes = ClipboardBytes(CF_TEXT);
    return bytes.empty() ? "" : std::string(reinterpret_cast<const char*>(bytes.data()));
}

struct FoundText {
    const char* text;
    bool found;
};

BOOL CALLBACK HasText(HWND child, LPARAM data) {
    auto* f = reinterpret_cast<FoundText*>(data);
    if (TextOf(child) == f->text) f->found = true;
    return !f->found;
}

TEST_F(WindowsPc, CopyWaitsForAClipboardHeldForAMoment_AndReportsOneHeldForSeconds) {
    Program program(ProgramPath(), folder);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr) << program.DescribeWindows();
    ASSERT_TRUE(CaptureWithKey(VK_F7, main)) << program.DescribeWindows();

    // Held for 200 ms from the moment of the click: the copy is made.
    {
        PutText("held for a moment");
        ClipboardHolder holder;
        ASSERT_TRUE(holder.Holding());
        const DWORD before = ::GetClipboardSequenceNumber();
        ClickAt(CentreOf(main, EditButton::Copy));
        ::Sleep(200);
        ASSERT_TRUE(holder.Release());
        EXPECT_TRUE(WaitFor(
            [&] {
                const ClipboardState now = Clipboard();
                return now.sequence != before && now.owner == main && now.bitmap;
            },
            3000));
        EXPECT_EQ(ShownWindowOfClass(program, "#32770"), nullptr) << "a message after all";
        EXPECT_EQ(ClipboardPixels().width, 1024);
    }

    // Held for five seconds: the message, and the clipboard keeps its text.
    {
        PutText("kept");
        ClipboardHolder holder;
        ASSERT_TRUE(holder.Holding());
        ClickAt(CentreOf(main, EditButton::Copy));
        HWND message = nullptr;
        EXPECT_TRUE(WaitFor(
            [&] { return (message = ShownWindowOfClass(program, "#32770")) != nullptr; }, 4000));
        ::Sleep(5000 - 200);
        ASSERT_TRUE(holder.Release());
        ASSERT_NE(message, nullptr);
        FoundText f{"Cannot open clipboard", false};
        ::EnumChildWindows(message, HasText, reinterpret_cast<LPARAM>(&f));
        EXPECT_TRUE(f.found) << "the message says something else";
        EXPECT_EQ(ClipboardText(), "kept");
        EXPECT_FALSE(Clipboard().bitmap);
        ::SendMessageA(message, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitFor([&] { return !::IsWindow(message); }, 3000));
    }
    ExitWithTheMenu(program, main, 'F', 'X');
}

}  // namespace
