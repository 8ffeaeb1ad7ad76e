// The settings store: the two capture counters and the chosen language, kept per
// user as string values under one registry key, read once while the main window
// is created and written once when it closes. While the program runs the
// counters are only the texts of their status labels.
#pragma once

#include <optional>
#include <string>

namespace lang {
class TMultiLanguage;
}
namespace ui {
class TControl;
}

// The program's key under HKEY_CURRENT_USER.
inline constexpr const char* kSettingsKey = "Software\\Norvanta\\Glimra 1.3";
// The key that LoadSettings and SaveSettings use: kSettingsKey, unless tests that
// run outside a throw-away Wine prefix have put a key of their own in its place.
const char* SettingsKey();
void SetSettingsKey(const char* key);

// Opens (or creates) the key, shows the stored counters in the two labels ("0"
// for an absent or empty value) and loads the language whose display name was
// stored, letter case ignored. Raises at the first failure: a value of a
// non-string kind (before any label is set), a name that matches no language, a
// language file that cannot be read.
void LoadSettings(ui::TControl& fullScreen, ui::TControl& activeWindow,
                  lang::TMultiLanguage& languages);

// Writes "Capture", "CaptureA" and "Language" as strings, in this order; raises
// "Failed to set data for '<name>'" for the first value that cannot be written,
// and the rest are not written.
void SaveSettings(const ui::TControl& fullScreen, const ui::TControl& activeWindow,
                  const lang::TMultiLanguage& languages);

// A setting of the program's own beside the counters and the language, as text:
// empty when it is absent or cannot be read as text. Written at once, so that
// nothing set is lost when the program is ended; a failure to write is not
// reported (the value still holds for this run).
std::string ReadSetting(const char* name);
void WriteSetting(const char* name, const std::string& text);
// A setting's text as a whole number in that base, all of it; nothing otherwise.
std::optional<int> SettingNumber(const std::string& text, int base = 10);

// Both counters back to "0"; stored at the next close.
void ClearStatistics(ui::TControl& fullScreen, ui::TControl& activeWindow);
