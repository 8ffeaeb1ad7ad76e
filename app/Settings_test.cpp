// The settings store on the real registry: what a start shows for the stored
// values, and what a close leaves behind.
#include "app/Settings.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

#include "lang/windows/TMultiLanguage.h"
#include "testing/app/ProgramForms.h"
#include "ui/TControl.h"
#include "ui/TMenuItem.h"

namespace {

using ui::TControl;

struct Stored {
    DWORD type = REG_NONE;
    std::string text;
    bool operator==(const Stored&) const = default;
};

std::optional<Stored> Read(const char* name) {
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    char data[256] = {};
    DWORD type = 0, size = sizeof data - 1;
    const LONG status =
        ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS) return std::nullopt;
    return Stored{type, std::string(data, size)};
}

void Write(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    ::RegCloseKey(key);
}

void WriteText(const char* name, const std::string& text) {
    Write(name, REG_SZ, text.c_str(), DWORD(text.size() + 1));
}

// A stored string value, with the terminating zero it is written with.
Stored Text(const std::string& text) {
    return {REG_SZ, text + '\0'};
}

class Settings : public glimra::test::ProgramForms {
  protected:
    std::string Counter(const char* label) { return MAIN->Get<TControl>(label).Caption(); }
    lang::TMultiLanguage& Languages() { return MAIN->Get<lang::TMultiLanguage>("MultiLanguage1"); }
};

TEST_F(Settings, FirstRunCreatesTheKeyAndShowsZeros_AndTheCloseStoresCountsAndLanguage) {
    Start();
    HKEY key;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey(), 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD values = 99;
    ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                       nullptr, nullptr, nullptr);
    ::RegCloseKey(key);
    EXPECT_EQ(values, 0u) << "the key is created empty at start";
    EXPECT_EQ(Counter("Label2"), "0");
    EXPECT_EQ(Counter("Label3"), "0");
    EXPECT_EQ(Languages().CurrentLanguageFile(), "");

    MAIN->Get<TControl>("Label3").SetCaption("4");
    MAIN->Close();
    EXPECT_TRUE(application.Terminated());
    EXPECT_EQ(Read("Capture"), Text("0"));
    EXPECT_EQ(Read("CaptureA"), Text("4"));
    EXPECT_EQ(Read("Language"), Text(""));
    EXPECT_TRUE(reports.empty());
}

TEST_F(Settings, ACounterStoredAsANumberStopsTheLoadBeforeAnyCounter_AndBecomesAString) {
    WriteFile("Lang\\de.lng", "[General]\nLanguageName=Deutsch\n[MAIN]\nMenuFile.Caption=&Datei\n");
    const DWORD five = 5;
    Write("Capture", REG_DWORD, &five, sizeof five);
    WriteText("CaptureA", "7");
    WriteText("Language", "Deutsch");
    Start();
    EXPECT_EQ(Counter("Label2"), "0");
    EXPECT_EQ(Counter("Label3"), "0");
    EXPECT_EQ(Languages().CurrentLanguageFile(), "");
    EXPECT_EQ(MAIN->Get<ui::TMenuItem>("MenuFile").Caption(), "&File");
    EXPECT_TRUE(reports.empty()) << "start-up failures are silent";
    MAIN->Close();
    EXPECT_EQ(Read("Capture"), Text("0"));
    EXPECT_EQ(Read("CaptureA"), Text("0"));
}

TEST_F(Settings, AnyStoredTextIsShown_AndTheNextDesktopCaptureRestartsItAtOne) {
    WriteText("Capture", "abc");
    WriteText("CaptureA", "");  // empty counts as absent
    Start();
    EXPECT_EQ(Counter("Label2"), "abc");
    EXPECT_EQ(Counter("Label3"), "0");
    MAIN->ButtonCaptureClick(nullptr);
    EXPECT_EQ(Counter("Label2"), "1");
    EXPECT_EQ(Counter("Label3"), "0");
    MAIN->Close();
    EXPECT_EQ(Read("Capture"), Text("1"));
}

TEST_F(Settings, TheStoredLanguageNameSelectsItsFileWhateverTheLetterCase) {
    WriteFile("Lang\\a.lng", "[General]\nLanguageName=English\n[MAIN]\nMenuFile.Caption=&Files\n");
    WriteFile("Lang\\b.lng", "[General]\nLanguageName=Deutsch\n[MAIN]\nMenuFile.Caption=&Datei\n");
    WriteText("Capture", "12");
    WriteText("Language", "dEUTSCH");
    Start();
    EXPECT_EQ(Counter("Label2"), "12");
    EXPECT_EQ(Languages().CurrentLanguageFile(), "Lang\\b.lng");
    EXPECT_EQ(MAIN->Get<ui::TMenuItem>("MenuFile").Caption(), "&Datei");
    MAIN->Close();
    // The display name as the file gives it is what is stored.
    EXPECT_EQ(Read("Language"), Text("Deutsch"));
}

TEST_F(Settings, AnUnknownLanguageNameLoadsNothingAndSaysNothing) {
    WriteFile("Lang\\a.lng", "[General]\nLanguageName=English\n[MAIN]\nMenuFile.Caption=&Files\n");
    WriteText("Language", "Klingon");
    WriteText("CaptureA", "3");
    Start();
    EXPECT_EQ(Counter("Label3"), "3");
    EXPECT_EQ(Languages().CurrentLanguageFile(), "");
    EXPECT_EQ(MAIN->Get<ui::TMenuItem>("MenuFile").Caption(), "&File");
    EXPECT_TRUE(reports.empty());
}

TEST_F(Settings, ClearStatisticsThenExitStoresZeroForBoth) {
    WriteText("Capture", "12");
    WriteText("CaptureA", "5");
    Start();
    ui::TMenuItem& clear = MAIN->Get<ui::TMenuItem>("MenuClearStatistic");
    ASSERT_TRUE(clear.OnClick);
    clear.Click();
    EXPECT_EQ(Counter("Label2"), "0");
    EXPECT_EQ(Counter("Label3"), "0");
    EXPECT_EQ(Read("Capture"), Text("12")) << "nothing is written before the close";
    MAIN->Get<ui::TMenuItem>("MenuExit").Click();
    EXPECT_TRUE(application.Terminated());
    EXPECT_EQ(Read("Capture"), Text("0"));
    EXPECT_EQ(Read("CaptureA"), Text("0"));
}

// A string value of any length, as stored.
std::string ReadWhole(const char* name) {
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "(no key)";
    DWORD type = 0, size = 0;
    ::RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
    std::string data(size, '\0');
    ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    ::RegCloseKey(key);
    if (type != REG_SZ || size == 0) return "(not a string)";
    data.resize(size - 1);  // the terminating zero
    return data;
}

TEST_F(Settings, AbsurdlyLongValuesAreShownAsTheyAre_AndTheCountersGoBackWhole) {
    WriteFile("Lang\\de.lng", "[General]\nLanguageName=Deutsch\n[MAIN]\nMenuFile.Caption=&Datei\n");
    const std::string digits(4 * 1024 * 1024, '7');
    std::string words;
    while (words.size() < 1024 * 1024)
        words += "counted ";
    WriteText("Capture", digits);
    WriteText("CaptureA", words);
    WriteText("Language", "Deutsch" + std::string(1024 * 1024, ' '));
    const DWORD start = ::GetTickCount();
    Start();
    Pump(300);  // the status bar draws them
    std::printf("a start with values of 4 MiB, 1 MiB and 1 MiB took %lu ms\n",
                ::GetTickCount() - start);
    EXPECT_EQ(Counter("Label2"), digits);
    EXPECT_EQ(Counter("Label3"), words);
    // No language is named so: the built-in texts stay, without a word.
    EXPECT_EQ(Languages().CurrentLanguageFile(), "");
    EXPECT_EQ(MAIN->Get<ui::TMenuItem>("MenuFile").Caption(), "&File");
    EXPECT_TRUE(reports.empty()) << reports.front();
    // A capture counts on from a text that is no number: it starts again at 1.
    MAIN->ButtonCaptureActiveClick(nullptr);
    EXPECT_EQ(Counter("Label3"), "1");
    MAIN->Close();
    EXPECT_TRUE(reports.empty()) << reports.front();
    EXPECT_EQ(ReadWhole("Capture"), digits);
    EXPECT_EQ(ReadWhole("CaptureA"), "1");
    EXPECT_EQ(ReadWhole("Language"), "");
}

TEST_F(Settings, ALanguageStoredAsAListOfTextsStopsTheLoadBeforeAnyCounter) {
    WriteFile("Lang\\de.lng", "[General]\nLanguageName=Deutsch\n[MAIN]\nMenuFile.Caption=&Datei\n");
    WriteText("Capture", "5");
    WriteText("CaptureA", "6");
    const char list[] = "Deutsch\0English\0";
    Write("Language", REG_MULTI_SZ, list, sizeof list);
    Start();
    EXPECT_EQ(Counter("Label2"), "0");
    EXPECT_EQ(Counter("Label3"), "0");
    EXPECT_EQ(Languages().CurrentLanguageFile(), "");
    EXPECT_TRUE(reports.empty()) << "start-up failures are silent";
    MAIN->Close();
    EXPECT_EQ(Read("Language"), Text(""));
    EXPECT_EQ(Read("Capture"), Text("0"));
}

// The settings key with a security descriptor that lets nobody change it.
void LockSettingsKey(const char* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1,
                                                                       &descriptor, nullptr));
    HKEY key;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey(), 0, WRITE_DAC, &key), ERROR_SUCCESS);
    EXPECT_EQ(::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
    ::RegCloseKey(key);
    ::LocalFree(descriptor);
}

TEST_F(Settings, ASaveThatCannotWriteReportsTheValue_AndTheProgramStillEnds) {
    Start();
    // Everyone may read the key, no one may write it.
    LockSettingsKey("D:(A;;KR;;;WD)");
    HKEY probe;
    const LONG denied = ::RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey(), 0, nullptr, 0,
                                          KEY_ALL_ACCESS, nullptr, &probe, nullptr);
    if (denied == ERROR_SUCCESS) ::RegCloseKey(probe);
    ASSERT_NE(denied, ERROR_SUCCESS) << "the system does not deny the locked key";
    MAIN->Get<TControl>("Label2").SetCaption("9");
    MAIN->Close();
    LockSettingsKey("D:(A;;KA;;;WD)");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "Failed to set data for 'Capture'");
    EXPECT_TRUE(application.Terminated());
    EXPECT_EQ(Read("Capture"), std::nullopt);
}

}  // namespace
