#include "app/Settings.h"

#include <windows.h>

#include <charconv>
#include <stdexcept>
#include <string>
#include <vector>

#include "lang/windows/TMultiLanguage.h"
#include "ui/TControl.h"
#include "win/handles.h"

namespace {

const char* settingsKey = kSettingsKey;

constexpr REGSAM kFullAccess = 0xF003F;  // KEY_ALL_ACCESS, for reading and writing alike

// The settings key, created when it does not exist; empty when it cannot be had.
win::RegKey OpenSettingsKey() {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          kFullAccess, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return {};
    return win::RegKey(key);
}

// A string value; an absent or empty one reads as empty text. Any other kind of
// value raises.
std::string ReadString(HKEY key, const char* name) {
    DWORD type = 0, size = 0;
    LONG status = ::RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND || (status == ERROR_SUCCESS && size == 0)) return {};
    if (status != ERROR_SUCCESS)
        throw std::runtime_error(std::string("cannot read the value ") + name);
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw std::runtime_error(std::string("the value ") + name + " is not a text");
    std::vector<char> data(size + 1, '\0');
    status =
        ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    if (status != ERROR_SUCCESS)
        throw std::runtime_error(std::string("cannot read the value ") + name);
    return std::string(data.data());  // up to the terminating zero
}

void WriteString(HKEY key, const char* name, const std::string& text) {
    if (!key || ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                 DWORD(text.size() + 1)) != ERROR_SUCCESS)
        throw std::runtime_error(std::string("Failed to set data for '") + name + "'");
}

}  // namespace

const char* SettingsKey() {
    return settingsKey;
}

void SetSettingsKey(const char* key) {
    settingsKey = key;
}

void LoadSettings(ui::TControl& fullScreen, ui::TControl& activeWindow,
                  lang::TMultiLanguage& languages) {
    win::RegKey key = OpenSettingsKey();
    if (!key) throw std::runtime_error("cannot open the settings");
    const std::string capture = ReadString(key.Get(), "Capture");
    const std::string captureA = ReadString(key.Get(), "CaptureA");
    const std::string language = ReadString(key.Get(), "Language");
    fullScreen.SetCaption(capture.empty() ? "0" : capture);
    activeWindow.SetCaption(captureA.empty() ? "0" : captureA);

    // The language is known by its display name, not by its file.
    const std::vector<std::string> names = languages.GetLanguageNames();
    const std::vector<std::string> files = languages.GetLanguageFiles();
    for (std::size_t i = 0; i < names.size() && i < files.size(); ++i) {
        if (::lstrcmpiA(names[i].c_str(), language.c_str()) == 0) {
            languages.LoadLanguage(files[i]);
            return;
        }
    }
    throw std::runtime_error("no language named " + language);
}

void SaveSettings(const ui::TControl& fullScreen, const ui::TControl& activeWindow,
                  const lang::TMultiLanguage& languages) {
    win::RegKey key = OpenSettingsKey();
    WriteString(key.Get(), "Capture", fullScreen.Caption());
    WriteString(key.Get(), "CaptureA", activeWindow.Caption());
    WriteString(key.Get(), "Language", languages.LanguageName());
}

std::string ReadSetting(const char* name) {
    try {
        win::RegKey key = OpenSettingsKey();
        return key ? ReadString(key.Get(), name) : std::string();
    } catch (const std::exception&) {
        return {};
    }
}

void WriteSetting(const char* name, const std::string& text) {
    try {
        WriteString(OpenSettingsKey().Get(), name, text);
    } catch (const std::exception&) {
    }
}

std::optional<int> SettingNumber(const std::string& text, int base) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || error != std::errc() || last != end) return std::nullopt;
    return value;
}

void ClearStatistics(ui::TControl& fullScreen, ui::TControl& activeWindow) {
    fullScreen.SetCaption("0");
    activeWindow.SetCaption("0");
}
