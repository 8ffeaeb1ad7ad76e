// The files handed to users, in the release tree's fresh Wine prefix: the
// installer run silently, the installed program started as its Start menu
// shortcut starts it, an installation over a running Glimra, the silent
// uninstallation; the 64-bit installer run over an installation of the 32-bit
// Glimra; the 64-bit one's text recognition component, with and without; and
// the portable zip unpacked into a read-only folder.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "app/Settings.h"
#include "ocr/windows/tesseract_dll.h"
#include "testing/desktop/Desktop.h"
#include "testing/desktop/Program.h"
#include "testing/desktop/ProgramDriving.h"

namespace {

using namespace glimra::test;

constexpr const char* kCaption = "Norvanta Glimra 1.3";
constexpr const char* kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Glimra";
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// The flavour under test is the one these tests are built as.
constexpr bool k64Bit = sizeof(void*) == 8;
constexpr const char* kFlavour = k64Bit ? "x64" : "x86";
constexpr WORD kMachine = k64Bit ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386;

std::string Argument(std::size_t i) {
    const auto args = ::testing::internal::GetArgvs();
    return args.size() > i ? WindowsPath(args[i]) : "";
}

std::string Folder(int csidl) {
    char path[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    return path;
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The built-in text recogniser's files (the 64-bit Glimra's only).
constexpr const char* kTextRecognitionFiles[] = {"glimra_ocr.dll", "tessdata\\eng.traineddata",
                                                 "tessdata\\deu.traineddata",
                                                 "tessdata\\models.txt"};

// How many of the text recogniser's files are in `folder`.
int TextRecognitionFilesIn(const std::string& folder) {
    int count = 0;
    for (const char* file : kTextRecognitionFiles)
        count += Exists(folder + "\\" + file);
    return count;
}

// Whether the program's loader takes the text recogniser installed in `folder`
// with both models; the reason where not.
std::string TextRecognitionLoads(const std::string& folder) {
    for (const char* language : {"eng", "deu"}) {
        glimra::ocr::LoadError error;
        if (!glimra::ocr::TesseractDll::Load(folder, language, error)) return error.text;
    }
    return "";
}

// The processor a program file is built for (IMAGE_FILE_MACHINE_*), or 0.
WORD MachineOf(const std::string& path) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    IMAGE_DOS_HEADER dos{};
    IMAGE_FILE_HEADER header{};
    DWORD signature = 0, read = 0;
    WORD machine = 0;
    if (::ReadFile(file, &dos, sizeof dos, &read, nullptr) && read == sizeof dos &&
        dos.e_magic == IMAGE_DOS_SIGNATURE &&
        ::SetFilePointer(file, dos.e_lfanew, nullptr, FILE_BEGIN) == DWORD(dos.e_lfanew) &&
        ::ReadFile(file, &signature, sizeof signature, &read, nullptr) &&
        signature == IMAGE_NT_SIGNATURE &&
        ::ReadFile(file, &header, sizeof header, &read, nullptr) && read == sizeof header)
        machine = header.Machine;
    ::CloseHandle(file);
    return machine;
}

// Runs a command line and waits for it; its exit code, or -1.
long RunCommand(std::string command, DWORD milliseconds = 60000) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return -1;
    ::CloseHandle(process.hThread);
    DWORD code = DWORD(-1);
    if (::WaitForSingleObject(process.hProcess, milliseconds) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hProcess);
    return long(code);
}

void SetValue(const char* key, const char* name, const std::string& value) {
    ::RegSetKeyValueA(HKEY_CURRENT_USER, key, name, REG_SZ, value.c_str(), DWORD(value.size() + 1));
}

std::optional<std::string> Value(const char* key, const char* name) {
    char data[1024] = {};
    DWORD size = sizeof data;
    if (::RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ | RRF_RT_REG_DWORD, nullptr,
                       data, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(data);
}

// How many programs the user's Uninstall entries call Glimra: what "Apps" lists.
int AppsNamedGlimra() {
    const std::string uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, uninstall.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    int count = 0;
    char name[256];
    for (DWORD i = 0; DWORD size = sizeof name; ++i) {
        if (::RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        const auto shown = Value((uninstall + "\\" + name).c_str(), "DisplayName");
        if (shown && shown->find("Glimra") != std::string::npos) ++count;
    }
    ::RegCloseKey(key);
    return count;
}

bool KeyExists(const char* key) {
    HKEY k;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    ::RegCloseKey(k);
    return true;
}

// The shortcut's target and start folder, read as Explorer reads them.
std::pair<std::string, std::string> ShortcutOf(const std::string& lnk) {
    std::pair<std::string, std::string> result;
    ::CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkA, reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            std::wstring wide(lnk.begin(), lnk.end());
            if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ))) {
                char path[MAX_PATH] = {}, folder[MAX_PATH] = {};
                link->GetPath(path, MAX_PATH, nullptr, 0);
                link->GetWorkingDirectory(folder, MAX_PATH);
                result = {path, folder};
            }
            file->Release();
        }
        link->Release();
    }
    ::CoUninitialize();
    return result;
}

// Starts the program, waits through its reminder and captures the screen with F7.
HWND StartAndCapture(Program& program) {
    HWND main = program.WaitForWindow(kCaption);
    if (!main) return nullptr;
    PassTheReminder(program, main, "");
    MouseAside();
    return CaptureWithKey(VK_F7, main) ? main : nullptr;
}

TEST(Installer, InstallsSilently_OverARunningGlimra_AndUninstallsKeepingTheSettings) {
    if (!InThrowAwayPrefix()) GTEST_SKIP() << "outside the test harness's Wine prefix";
    const std::string setup = Argument(1);
    ASSERT_TRUE(Exists(setup)) << setup;
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kUninstallKey);
    const std::string folder = Folder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Glimra";
    const std::string lnk = Folder(CSIDL_PROGRAMS) + "\\Glimra.lnk";

    ASSERT_EQ(RunCommand("\"" + setup + "\" /S"), 0);
    EXPECT_TRUE(Exists(folder + "\\glimra.exe"));
    EXPECT_TRUE(Exists(folder + "\\Lang\\Deutsch.lng"));
    EXPECT_TRUE(Exists(folder + "\\Uninstall.exe"));
    EXPECT_EQ(Value(kUninstallKey, "DisplayName"), "Glimra");
    EXPECT_EQ(Value(kUninstallKey, "DisplayVersion"), "1.3");
    EXPECT_EQ(Value(kUninstallKey, "Publisher"), "Norvanta");
    EXPECT_EQ(Value(kUninstallKey, "DisplayIcon"), folder + "\\glimra.exe");
    EXPECT_EQ(Value(kUninstallKey, "UninstallString"), "\"" + folder + "\\Uninstall.exe\"");
    EXPECT_TRUE(Value(kUninstallKey, "EstimatedSize").has_value());
    EXPECT_EQ(Value(kUninstallKey, "Flavour"), kFlavour);
    EXPECT_EQ(MachineOf(folder + "\\glimra.exe"), kMachine);
    EXPECT_EQ(Value(kRunKey, "Glimra"), std::nullopt) << "start-up is off by default";
    // Text recognition is ticked at first, where the flavour has it.
    EXPECT_EQ(TextRecognitionFilesIn(folder), k64Bit ? 4 : 0);
    const auto [target, start] = ShortcutOf(lnk);
    EXPECT_EQ(target, folder + "\\glimra.exe");
    EXPECT_EQ(start, folder);

    {
        Program program(target, start);
        HWND main = StartAndCapture(program);
        ASSERT_NE(main, nullptr) << program.DescribeWindows();
        // Installed again while it runs: the running copy is asked to close first.
        EXPECT_EQ(RunCommand("\"" + setup + "\" /S"), 0);
        EXPECT_TRUE(program.WaitForExit(5000)) << "Glimra still runs";
        EXPECT_TRUE(Exists(folder + "\\glimra.exe"));
    }
    {
        Program program(target, start);
        HWND main = StartAndCapture(program);
        ASSERT_NE(main, nullptr) << program.DescribeWindows();
        ExitWithTheMenu(program, main, 'F', 'X');
    }
    ASSERT_TRUE(SettingsKeyExists());

    // The uninstaller runs on from a copy of itself: its work shows when the
    // Uninstall key and the folder are gone.
    ASSERT_EQ(RunCommand("\"" + folder + "\\Uninstall.exe\" /S"), 0);
    EXPECT_TRUE(WaitFor([&] { return !KeyExists(kUninstallKey) && !Exists(folder); }, 30000));
    EXPECT_FALSE(Exists(folder + "\\glimra.exe"));
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(Exists(lnk));
    EXPECT_EQ(Value(kRunKey, "Glimra"), std::nullopt);
    EXPECT_FALSE(KeyExists(kUninstallKey));
    EXPECT_TRUE(SettingsKeyExists()) << "the settings are kept";
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
}

// The 32-bit Glimra installed as its installer installs it (which cannot run
// here): its files, its uninstaller among them, unpacked from that installer and
// copied into the folder, and the entries it writes. The 64-bit installer run over it replaces the
// program in place and keeps the settings, the start-up entry and the one Uninstall entry.
TEST(Installer, The64BitOneReplacesA32BitInstallationInPlace) {
    if (!InThrowAwayPrefix()) GTEST_SKIP() << "outside the test harness's Wine prefix";
    if (!k64Bit) GTEST_SKIP() << "the 32-bit installer installs over no other flavour";
    const std::string setup = Argument(1), x86Files = Argument(3);
    ASSERT_EQ(MachineOf(x86Files + "\\glimra.exe"), IMAGE_FILE_MACHINE_I386)
        << "the 32-bit installer's files are missing: " << x86Files;
    const std::string folder = Folder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Glimra";
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kUninstallKey);
    ::SHCreateDirectoryExA(nullptr, (folder + "\\Lang").c_str(), nullptr);
    ASSERT_TRUE(
        ::CopyFileA((x86Files + "\\glimra.exe").c_str(), (folder + "\\glimra.exe").c_str(), FALSE));
    ASSERT_TRUE(::CopyFileA((x86Files + "\\Lang\\Deutsch.lng").c_str(),
                            (folder + "\\Lang\\Deutsch.lng").c_str(), FALSE));
    ASSERT_TRUE(::CopyFileA((x86Files + "\\Uninstall.exe").c_str(),
                            (folder + "\\Uninstall.exe").c_str(), FALSE));
    const std::pair<const char*, std::string> entries[] = {
        {"DisplayName", "Glimra"},
        {"DisplayVersion", "1.3"},
        {"Publisher", "Norvanta"},
        {"DisplayIcon", folder + "\\glimra.exe"},
        {"UninstallString", "\"" + folder + "\\Uninstall.exe\""},
        {"QuietUninstallString", "\"" + folder + "\\Uninstall.exe\" /S"},
        {"InstallLocation", folder},
        {"Flavour", "x86"}};
    for (const auto& [name, value] : entries)
        SetValue(kUninstallKey, name, value);
    const std::string startup = "\"" + folder + "\\glimra.exe\"";
    SetValue(kRunKey, "Glimra", startup);
    SetValue(kSettingsKey, "Capture", "41");

    ASSERT_EQ(RunCommand("\"" + setup + "\" /S"), 0);
    EXPECT_EQ(MachineOf(folder + "\\glimra.exe"), IMAGE_FILE_MACHINE_AMD64);
    EXPECT_EQ(MachineOf(folder + "\\Uninstall.exe"), IMAGE_FILE_MACHINE_AMD64);
    EXPECT_TRUE(Exists(folder + "\\Lang\\Deutsch.lng"));
    EXPECT_EQ(AppsNamedGlimra(), 1);
    EXPECT_EQ(Value(kUninstallKey, "InstallLocation"), folder);
    EXPECT_EQ(Value(kUninstallKey, "Flavour"), "x64");
    EXPECT_EQ(Value(kRunKey, "Glimra"), startup) << "it still starts with Windows";
    EXPECT_EQ(Value(kSettingsKey, "Capture"), "41");

    // The 64-bit program counts on from the 32-bit one's settings.
    const auto [target, start] = ShortcutOf(Folder(CSIDL_PROGRAMS) + "\\Glimra.lnk");
    EXPECT_EQ(target, folder + "\\glimra.exe");
    {
        Program program(target, start);
        HWND main = StartAndCapture(program);
        ASSERT_NE(main, nullptr) << program.DescribeWindows();
        ExitWithTheMenu(program, main, 'F', 'X');
    }
    EXPECT_EQ(Value(kSettingsKey, "Capture"), "42");

    ASSERT_EQ(RunCommand("\"" + folder + "\\Uninstall.exe\" /S"), 0);
    EXPECT_TRUE(WaitFor([&] { return !KeyExists(kUninstallKey) && !Exists(folder); }, 30000));
    EXPECT_EQ(Value(kRunKey, "Glimra"), std::nullopt);
    EXPECT_EQ(AppsNamedGlimra(), 0);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
}

// The 64-bit installer's "Text recognition" component: left out, the program is
// installed without the recogniser's files; ticked again, they come and the
// program's loader takes them; left out over an installation that has them,
// they go; and the uninstaller removes them with the rest.
TEST(Installer, TextRecognitionIsAComponentOfItsOwn) {
    if (!InThrowAwayPrefix()) GTEST_SKIP() << "outside the test harness's Wine prefix";
    if (!k64Bit) GTEST_SKIP() << "the 32-bit Glimra has no built-in text recogniser";
    const std::string setup = Argument(1);
    const std::string folder = Folder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Glimra";
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kUninstallKey);

    ASSERT_EQ(RunCommand("\"" + setup + "\" /S /NoTextRecognition"), 0);
    EXPECT_TRUE(Exists(folder + "\\glimra.exe"));
    EXPECT_EQ(TextRecognitionFilesIn(folder), 0);
    EXPECT_FALSE(Exists(folder + "\\tessdata"));
    glimra::ocr::LoadError error;
    EXPECT_FALSE(glimra::ocr::TesseractDll::Load(folder, "eng", error));
    EXPECT_EQ(error.kind, glimra::ocr::LoadError::Kind::NotInstalled) << error.text;

    ASSERT_EQ(RunCommand("\"" + setup + "\" /S"), 0);
    EXPECT_EQ(TextRecognitionFilesIn(folder), 4);
    EXPECT_EQ(TextRecognitionLoads(folder), "");

    ASSERT_EQ(RunCommand("\"" + setup + "\" /S /NoTextRecognition"), 0);
    EXPECT_TRUE(Exists(folder + "\\glimra.exe"));
    EXPECT_EQ(TextRecognitionFilesIn(folder), 0);
    EXPECT_FALSE(Exists(folder + "\\tessdata"));

    ASSERT_EQ(RunCommand("\"" + setup + "\" /S"), 0);
    ASSERT_EQ(TextRecognitionFilesIn(folder), 4);
    ASSERT_EQ(RunCommand("\"" + folder + "\\Uninstall.exe\" /S"), 0);
    EXPECT_TRUE(WaitFor([&] { return !KeyExists(kUninstallKey) && !Exists(folder); }, 30000));
    EXPECT_EQ(TextRecognitionFilesIn(folder), 0);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
}

// Every entry under a folder with its size and time of last writing.
void List(const std::string& folder, std::map<std::string, std::string>& entries) {
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        entries[folder + "\\" + name] = std::to_string(found.nFileSizeLow) + " " +
                                        std::to_string(found.ftLastWriteTime.dwLowDateTime) + " " +
                                        std::to_string(found.ftLastWriteTime.dwHighDateTime);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) List(folder + "\\" + name, entries);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
}

// The 32-bit installer started where the 64-bit Glimra is installed says so and
// stops, changing nothing. It cannot run here; an x64 installer built to refuse
// as it does (the same script and message) stands in for it.
TEST(Installer, TheRefusingOneLeavesA64BitInstallationAsItIs) {
    if (!InThrowAwayPrefix()) GTEST_SKIP() << "outside the test harness's Wine prefix";
    if (!k64Bit) GTEST_SKIP() << "the refusing installer is built in the 64-bit tree";
    const std::string setup = Argument(1), refusing = Argument(4);
    ASSERT_TRUE(Exists(refusing)) << refusing;
    const std::string folder = Folder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Glimra";
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kUninstallKey);
    ASSERT_EQ(RunCommand("\"" + setup + "\" /S"), 0);
    ASSERT_EQ(Value(kUninstallKey, "Flavour"), "x64");
    std::map<std::string, std::string> before, after;
    List(folder, before);

    {
        Program installer(refusing, TestFolder("installer-refusal"));
        HWND box = nullptr;
        ASSERT_TRUE(WaitFor(
            [&] { return (box = ShownWindowOfClass(installer, "#32770")) != nullptr; }, 20000))
            << installer.DescribeWindows();
        ::Sleep(500);  // painted, for the screenshot
        SaveScreenshot(box, "installer-refusal");
        // A message box's text is its static control of ID 0xFFFF.
        const std::string text = TextOf(::GetDlgItem(box, 0xFFFF));
        EXPECT_NE(text.find("The 64-bit Glimra is installed in " + folder + "."), std::string::npos)
            << text;
        EXPECT_NE(text.find("does not replace it"), std::string::npos) << text;
        ::PostMessageA(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        ASSERT_TRUE(installer.WaitForExit(10000));
        EXPECT_EQ(installer.ExitCode(), 2u);
    }
    List(folder, after);
    EXPECT_EQ(after, before) << "the installation was changed";
    EXPECT_EQ(Value(kUninstallKey, "Flavour"), "x64");
    EXPECT_EQ(AppsNamedGlimra(), 1);

    ASSERT_EQ(RunCommand("\"" + folder + "\\Uninstall.exe\" /S"), 0);
    EXPECT_TRUE(WaitFor([&] { return !KeyExists(kUninstallKey) && !Exists(folder); }, 30000));
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
}

TEST(PortableZip, RunsFromAReadOnlyFolderAndWritesNothingBesideItself) {
    if (!InThrowAwayPrefix()) GTEST_SKIP() << "outside the test harness's Wine prefix";
    const std::string folder = Argument(2);
    ASSERT_TRUE(Exists(folder + "\\glimra.exe")) << folder;
    EXPECT_TRUE(Exists(folder + "\\Lang\\Deutsch.lng"));
    EXPECT_TRUE(Exists(folder + "\\readme.txt"));
    EXPECT_EQ(MachineOf(folder + "\\glimra.exe"), kMachine);
    // The 64-bit zip carries the text recogniser, which loads from where it lies.
    EXPECT_EQ(TextRecognitionFilesIn(folder), k64Bit ? 4 : 0);
    if (k64Bit) {
        EXPECT_EQ(TextRecognitionLoads(folder), "");
    }
    ::SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_READONLY);
    std::map<std::string, std::string> before, after;
    List(folder, before);
    {
        Program program(folder + "\\glimra.exe", folder);
        HWND main = StartAndCapture(program);
        ASSERT_NE(main, nullptr) << program.DescribeWindows();
        ExitWithTheMenu(program, main, 'F', 'X');
    }
    List(folder, after);
    EXPECT_EQ(after, before);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
}

}  // namespace
