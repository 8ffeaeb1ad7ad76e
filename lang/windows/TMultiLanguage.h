// The language component: finds the language files of the languages directory,
// offers them as entries of a language submenu (each with its flag), loads the
// chosen file and writes its texts into the text and string-list properties of
// every open window and of the components those windows own. Properties are
// found through the same property registry that the window layouts use.
#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "lang/case_fold.h"
#include "lang/ini_data.h"
#include "ui/Graphics.h"
#include "ui/TComponent.h"

namespace ui {
class TForm;
class TMenuItem;
}  // namespace ui

namespace lang {

class TMultiLanguage;

// Raised for every value about to be applied: the handler may change the value,
// or clear DoChange to leave the property as it is.
using TOnReadCompData =
    std::function<void(TMultiLanguage* Sender, ui::TComponent* Comp, const std::string& PropName,
                       std::string& Value, bool& DoChange)>;
// The writing direction's event; this program writes no language files.
using TOnWriteCompData =
    std::function<void(TMultiLanguage* Sender, ui::TComponent* Comp, const std::string& PropName,
                       std::string& Value, bool& DoWrite)>;

// Whether a directory entry matching the mask is taken as a language file: every
// entry that is neither a directory nor a device, whatever other attribute bits
// it carries (not indexed, compressed, encrypted, "normal" alone).
bool IsLanguageFileEntry(unsigned long attributes);

class TMultiLanguage : public ui::TComponent {
  public:
    explicit TMultiLanguage(ui::TComponent* owner);
    ~TMultiLanguage() override;

    // Settings.
    bool AutoSaveExistentForms() const { return autoSaveExistentForms_; }
    void SetAutoSaveExistentForms(bool value) { autoSaveExistentForms_ = value; }
    const std::string& AppVersion() const { return appVersion_; }
    void SetAppVersion(const std::string& value) { appVersion_ = value; }
    const std::string& Author() const { return author_; }
    void SetAuthor(const std::string& value) { author_ = value; }
    const std::string& AuthorEmail() const { return authorEmail_; }
    void SetAuthorEmail(const std::string& value) { authorEmail_ = value; }
    const std::string& LanguageName() const { return languageName_; }
    void SetLanguageName(const std::string& value) { languageName_ = value; }
    const std::string& LanguageVersion() const { return languageVersion_; }
    void SetLanguageVersion(const std::string& value) { languageVersion_ = value; }
    // The language data as ini lines; reading writes the four [General] keys of
    // the settings into the data first. Assigning reads the lines as a language
    // file and takes the [General] keys from them; nothing is applied.
    std::vector<std::string> LanguageStrings() const;
    void SetLanguageStrings(const std::vector<std::string>& lines);
    std::vector<std::string> IgnoreProperties() const;
    void SetIgnoreProperties(const std::vector<std::string>& names);
    const std::string& FileExtension() const { return fileExtension_; }
    void SetFileExtension(const std::string& value) { fileExtension_ = value; }
    // A UTF-8 path, as are the language files' paths; empty for the current
    // folder. A relative one that is missing in the current folder when it is
    // set but exists beside the executable becomes the full path of that one.
    // Assigning scans the directory again (Refresh).
    const std::string& LanguagesDirectory() const { return languagesDirectory_; }
    void SetLanguagesDirectory(const std::string& directory);
    // The submenu that receives the language entries; told when it goes.
    ui::TMenuItem* LangMenuItem() const { return langMenuItem_; }
    void SetLangMenuItem(ui::TMenuItem* item);
    bool UseLanguageBitmaps() const { return useLanguageBitmaps_; }
    void SetUseLanguageBitmaps(bool value);

    TOnWriteCompData OnWriteProperty;
    TOnReadCompData OnReadProperty;
    ui::TNotifyEvent OnBeforeSave, OnBeforeLoad, OnAfterSave, OnAfterLoad, OnOldLangVersionLoaded,
        OnRefreshed;

    // The path of the last file loaded; empty before the first.
    const std::string& CurrentLanguageFile() const { return currentFile_; }

    // Operations.
    void Refresh();
    void ScanLanguages();
    void RebuildLanguageMenu();
    void ClearLanguageMenu();
    void UpdateLanguageChecks();
    void LanguageItemClick(ui::TObject* Sender);
    // The LanguageName of the file's [General] section, read from the disk;
    // "<Untitled Language>" when it is missing or empty.
    static std::string ReadLanguageName(const std::string& path);
    std::vector<std::string> GetLanguageNames() const;
    std::vector<std::string> GetLanguageFiles() const { return files_; }
    // Reads the file and applies it to every open window. A file that cannot be
    // read raises an error and changes nothing.
    void LoadLanguage(const std::string& path);
    void ReadGeneral();
    void WriteGeneral() const;
    void ApplyToAllForms();
    void ApplyToForm(ui::TForm& form, bool withControls);
    void ApplyToComponent(ui::TComponent& component, ui::TForm& form);
    void CheckLanguageVersion();

    const ui::PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const ui::PropertyRegistry& ClassProperties();

  protected:
    void Notification(ui::TComponent* component, ui::TOperation operation) override;

  private:
    // The text and string-list properties of a class that can be translated.
    const std::vector<const ui::Property*>& Translatable(const ui::PropertyRegistry& registry);

    bool autoSaveExistentForms_ = true;
    std::string appVersion_ = "1.0";
    std::string author_, authorEmail_, languageName_;
    std::string languageVersion_ = "1.0";
    std::string fileExtension_ = "lng";
    std::string languagesDirectory_;
    ui::TMenuItem* langMenuItem_ = nullptr;
    bool useLanguageBitmaps_ = false;

    // Reading LanguageStrings writes the [General] keys into the data first.
    mutable IniData data_;
    std::vector<std::string> ignoreNames_;  // as given, for reading back
    FoldedSet ignore_;
    std::vector<std::string> files_;
    std::string currentFile_;
    std::unordered_map<const ui::PropertyRegistry*, std::vector<const ui::Property*>> translatable_;
};

}  // namespace lang
