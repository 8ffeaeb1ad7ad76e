// What a real Windows PC asks of glimra.exe, checked from outside as another
// program would: the picture it pastes into other programs, a clipboard that
// another program holds for a moment, folders whose names are not in the ANSI
// code page, its language folder when it is started from elsewhere.
#include <windows.h>

#include <dlgs.h>

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

// The whole file at a wide-character path; empty when it cannot be read.
std::vector<std::uint8_t> ReadWide(const std::wstring& path) {
    std::vector<std::uint8_t> bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    std::uint8_t buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    ::CloseHandle(file);
    return bytes;
}

std::wstring Wide(const std::string& ansi) {
    std::wstring wide(ansi.size(), L'\0');
    wide.resize(std::size_t(::MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()),
                                                  wide.data(), int(wide.size()))));
    return wide;
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// In the open save dialog: BMP as the type, the full wide-character name typed
// into its name box, and a click on Save; waits for the file.
void SaveInDialogAs(HWND dialog, const std::wstring& path) {
    ::DeleteFileW(path.c_str());
    HWND types = ::GetDlgItem(dialog, cmb1);
    ::SendMessageW(types, CB_SETCURSEL, 0, 0);
    for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb1, code), reinterpret_cast<LPARAM>(types));
    HWND name =
        ::GetDlgItem(dialog, cmb13) ? ::GetDlgItem(dialog, cmb13) : ::GetDlgItem(dialog, edt1);
    ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    ClickWindow(::GetDlgItem(dialog, IDOK));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, 5000)) << "the dialog stays";
    ASSERT_TRUE(WaitFor([&] { return Exists(path); }, 5000)) << "no file";
}

TEST_F(WindowsPc, SavesIntoFoldersNamedInOtherScriptsLandUnderTheirNames) {
    const std::wstring root = Wide(folder);
    // "Снимки" (Russian) and "画像" (Japanese): neither fits the ANSI code page.
    const std::wstring cyrillic = root + L"\\\x0421\x043D\x0438\x043C\x043A\x0438";
    const std::wstring japanese = root + L"\\\x753B\x50CF";
    for (const std::wstring& f : {cyrillic, japanese}) {
        ::CreateDirectoryW(f.c_str(), nullptr);
        ASSERT_TRUE(Exists(f));
    }
    Program program(ProgramPath(), folder);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr) << program.DescribeWindows();
    ASSERT_TRUE(CaptureWithKey(VK_F7, main)) << program.DescribeWindows();
    ASSERT_TRUE(CopyWithTheButton(main));
    const Pixels captured = ClipboardPixels();
    ASSERT_EQ(captured.width, 1024);

    for (const std::wstring& file :
         {cyrillic + L"\\\x0441\x043D\x0438\x043C\x043E\x043A.bmp", japanese + L"\\shot.bmp"}) {
        HWND dialog = OpenSaveDialog(program, main);
        ASSERT_NE(dialog, nullptr) << program.DescribeWindows();
        SaveInDialogAs(dialog, file);
        const Pixels saved = PixelsOf(DecodeBmp(ReadWide(file)));
        EXPECT_EQ(saved, captured);
    }
    // Nothing else was made in the test's folder (no file under a mangled name,
    // no temporary file left).
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((root + L"\\*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do {
        if (std::wstring(found.cFileName) != L"." && std::wstring(found.cFileName) != L"..")
            names.push_back(found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    EXPECT_EQ(names.size(), 2u);
    for (const std::wstring& f : {cyrillic, japanese}) {
        std::size_t entries = 0;
        search = ::FindFirstFileW((f + L"\\*").c_str(), &found);
        do {
            ++entries;
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
        EXPECT_EQ(entries, 3u) << "., .. and the picture";
    }
    ExitWithTheMenu(program, main, 'F', 'X');
}

TEST_F(WindowsPc, StartedFromAnotherFolder_TheLanguageFolderBesideTheProgramIsUsed) {
    // The program with its Lang folder in one place, started with a working
    // folder that has none.
    const std::string installed = folder + "\\installed", elsewhere = folder + "\\elsewhere";
    ::CreateDirectoryA(installed.c_str(), nullptr);
    ::CreateDirectoryA(elsewhere.c_str(), nullptr);
    ::CreateDirectoryA((installed + "\\Lang").c_str(), nullptr);
    const std::string exe = installed + "\\glimra.exe";
    ASSERT_TRUE(::CopyFileA(ProgramPath().c_str(), exe.c_str(), FALSE));
    std::FILE* file = std::fopen((installed + "\\Lang\\Svenska.lng").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs(
        "[General]\r\nLanguageName=Svenska\r\n\r\n[MAIN]\r\n"
        "MAIN.Caption=Glimra p\xE5 svenska\r\nMenuFile.Caption=&Arkiv\r\n",
        file);
    std::fclose(file);
    ASSERT_TRUE(StoreSetting("Language", "Svenska"));

    Program program(exe, elsewhere);
    HWND main = Start(program, "Glimra p\xE5 svenska");
    ASSERT_NE(main, nullptr) << program.DescribeWindows();
    ASSERT_TRUE(CaptureWithKey(VK_F7, main)) << program.DescribeWindows();
    // The menu bar is Swedish too: Alt+A opens "&Arkiv" (Alt+F would open nothing).
    ExitWithTheMenu(program, main, 'A', 'X');
    EXPECT_EQ(Setting("Language"), "Svenska");
}

// ---- What another program reads from glimra.exe without starting it.

std::string VersionString(const std::vector<char>& info, const char* name) {
    struct Translation {
        WORD language, codePage;
    }* translation = nullptr;
    UINT size = 0;
    if (!::VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                          reinterpret_cast<void**>(&translation), &size) ||
        size < sizeof *translation)
        return "(no translation)";
    char key[128];
    std::snprintf(key, sizeof key, "\\StringFileInfo\\%04x%04x\\%s", translation->language,
                  translation->codePage, name);
    char* value = nullptr;
    if (!::VerQueryValueA(info.data(), key, reinterpret_cast<void**>(&value), &size) || !value)
        return "(missing)";
    return value;
}

TEST(TheProgramFile, HasItsVersion_IsLargeAddressAware_AndAsksForNoElevation) {
    const std::string exe = ProgramPath();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource";
    std::vector<char> info(size);
    ASSERT_TRUE(::GetFileVersionInfoA(exe.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, DWORD(MAKELONG(3, 1)));
    EXPECT_EQ(fixed->dwProductVersionMS, DWORD(MAKELONG(3, 1)));
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_APP));
    EXPECT_EQ(VersionString(info, "ProductName"), "Glimra");
    EXPECT_EQ(VersionString(info, "CompanyName"), "Norvanta");
    EXPECT_EQ(VersionString(info, "FileVersion"), "1.3");
    EXPECT_EQ(VersionString(info, "ProductVersion"), "1.3");
    EXPECT_EQ(VersionString(info, "OriginalFilename"), "glimra.exe");
    EXPECT_NE(VersionString(info, "FileDescription").find("Glimra"), std::string::npos);
    EXPECT_NE(VersionString(info, "LegalCopyright").find("Norvanta"), std::string::npos);

    // The PE header's flags.
    const std::vector<std::uint8_t> bytes = ReadWide(Wide(exe));
    ASSERT_GT(bytes.size(), 0x40u);
    DWORD peAt = 0;
    std::memcpy(&peAt, bytes.data() + 0x3C, 4);
    ASSERT_GT(bytes.size(), peAt + 4 + sizeof(IMAGE_FILE_HEADER));
    EXPECT_EQ(std::memcmp(bytes.data() + peAt, "PE\0\0", 4), 0);
    IMAGE_FILE_HEADER header;
    std::memcpy(&header, bytes.data() + peAt + 4, sizeof header);
    EXPECT_TRUE(header.Characteristics & IMAGE_FILE_LARGE_ADDRESS_AWARE);

    // The manifest asks to run with the rights of whoever starts it.
    HMODULE module = ::LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(found, nullptr) << "no manifest";
    const char* text = static_cast<const char*>(::LockResource(::LoadResource(module, found)));
    const std::string manifest(text, ::SizeofResource(module, found));
    ::FreeLibrary(module);
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\""), std::string::npos)
        << manifest;
}

}  // namespace
