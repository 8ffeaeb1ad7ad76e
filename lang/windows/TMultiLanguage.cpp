#include "lang/windows/TMultiLanguage.h"

#include <windows.h>

#include <memory>
#include <stdexcept>

#include "lang/EM_Common.h"
#include "ui/PictureLoader.h"
#include "ui/TApplication.h"
#include "ui/TBitmap.h"
#include "ui/TForm.h"
#include "ui/TMenuItem.h"
#include "ui/TWinControl.h"
#include "win/SystemError.h"
#include "win/Utf8.h"
#include "win/handles.h"

namespace lang {

namespace {

constexpr const char* kGeneral = "General";
constexpr const char* kUntitled = "<Untitled Language>";

// Paths are UTF-8 and go to the wide-character file functions, so that the
// language folder may lie in a folder of any name.
bool SamePath(const std::string& a, const std::string& b) {
    return ::lstrcmpiW(win::WidePath(a).c_str(), win::WidePath(b).c_str()) == 0;
}

// The file name with its extension, without the folders before it.
std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path with its extension (from the last "." of the file name) replaced.
std::string WithExtension(const std::string& path, const char* extension) {
    const std::size_t name = path.size() - FileNameOf(path).size();
    const std::size_t dot = path.find_last_of('.');
    return (dot == std::string::npos || dot < name ? path : path.substr(0, dot)) + extension;
}

// The whole file; raises "Cannot open file ..." when it cannot be read.
std::string ReadFileBytes(const std::string& path) {
    win::File file(::CreateFileW(win::WidePath(path).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    auto fail = [&path] {
        throw std::runtime_error("Cannot open file \"" + win::AnsiFromUtf8(path) + "\". " +
                                 win::SystemErrorText(::GetLastError()));
    };
    if (!file) fail();
    std::string bytes;
    char buffer[16384];
    DWORD got = 0;
    do {
        if (!::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) fail();
        bytes.append(buffer, got);
    } while (got > 0);
    return bytes;
}

// The program's NOFLAG bitmap at 24 bits per pixel into `copy`, which stays
// empty when it is missing.
void ReadNoFlag(ui::TBitmap& copy) {
    win::Bitmap handle(static_cast<HBITMAP>(
        ::LoadImageA(ui::Application->Instance(), "NOFLAG", IMAGE_BITMAP, 0, 0, 0)));
    BITMAP info{};
    if (!handle || !::GetObjectA(handle.Get(), sizeof info, &info) || info.bmWidth <= 0 ||
        info.bmHeight <= 0)
        return;
    copy.SetPixelFormat(ui::TPixelFormat::pf24bit);
    copy.SetSize(info.bmWidth, info.bmHeight);
    win::MemoryDC source(::CreateCompatibleDC(nullptr));
    HGDIOBJ old = ::SelectObject(source.Get(), handle.Get());
    ::BitBlt(copy.Canvas().Handle(), 0, 0, info.bmWidth, info.bmHeight, source.Get(), 0, 0,
             SRCCOPY);
    ::SelectObject(source.Get(), old);
}

// A flag file into the entry's picture; false when it cannot be read or is no
// BMP file whose headers hold what they promise. The file comes from whoever
// wrote the language file, so it goes through the checked reader.
bool AssignFlagFile(ui::TMenuItem& item, const std::string& path) {
    ui::TBitmap flag;
    try {
        const std::string bytes = ReadFileBytes(path);
        ui::DecodeBmp({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, flag);
    } catch (const std::exception&) {
        return false;
    }
    flag.SetPixelFormat(ui::TPixelFormat::pf24bit);
    item.Bitmap().Take(flag);
    return true;
}

// The flag in front of a language's entry: the bitmap file beside the language
// file, or `noFlag` when there is none or it is no bitmap. Most files come
// without a flag, so the caller reads the program's own bitmap once for all.
void LoadFlag(ui::TMenuItem& item, const std::string& languageFile, ui::TBitmap& noFlag) {
    const std::string flag = WithExtension(languageFile, ".bmp");
    const DWORD attributes = ::GetFileAttributesW(win::WidePath(flag).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
        AssignFlagFile(item, flag))
        return;
    if (!noFlag.Empty()) item.Bitmap().Assign(noFlag);
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A relative languages directory ("Lang") is looked for when it is set: where it
// exists in the current folder it stays as it is, relative to that folder; else,
// where it exists beside the program's own executable, it becomes that folder's
// full path, so that a program started from a shortcut or a command line in
// another folder still finds its languages. Found in neither place, it stays.
std::string ResolvedDirectory(const std::string& directory) {
    if (directory.empty()) return directory;
    const std::wstring wide = win::WidePath(directory);
    const bool absolute =
        wide[0] == L'\\' || wide[0] == L'/' || (wide.size() > 1 && wide[1] == L':');
    if (absolute) return directory;
    wchar_t full[MAX_PATH + 1] = {};
    const DWORD length = ::GetFullPathNameW(wide.c_str(), MAX_PATH + 1, full, nullptr);
    if (length == 0 || length > MAX_PATH) return directory;
    if (IsFolder(full)) return directory;
    wchar_t exe[MAX_PATH + 1] = {};
    const DWORD exeLength = ::GetModuleFileNameW(nullptr, exe, MAX_PATH + 1);
    if (exeLength == 0 || exeLength > MAX_PATH) return directory;
    std::wstring besideExe(exe, exeLength);
    besideExe.erase(besideExe.find_last_of(L"\\/") + 1);
    besideExe += wide;
    return IsFolder(besideExe) ? win::Utf8Path(besideExe) : directory;
}

}  // namespace

bool IsLanguageFileEntry(unsigned long attributes) {
    return !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

TMultiLanguage::TMultiLanguage(ui::TComponent* owner) : ui::TComponent(owner) {
    data_.Assign(std::vector<std::string>{"[General]", "LanguageVersion=1.0"});
    SetIgnoreProperties({"Name", "ImeName", "HelpKeyword", "HelpFile"});
    Refresh();
}

TMultiLanguage::~TMultiLanguage() {
    ClearLanguageMenu();
}

std::vector<std::string> TMultiLanguage::LanguageStrings() const {
    WriteGeneral();
    return data_.ToLines();
}

void TMultiLanguage::SetLanguageStrings(const std::vector<std::string>& lines) {
    data_.Assign(lines);
    ReadGeneral();
}

std::vector<std::string> TMultiLanguage::IgnoreProperties() const {
    return ignoreNames_;
}

void TMultiLanguage::SetIgnoreProperties(const std::vector<std::string>& names) {
    ignoreNames_ = names;
    ignore_ = FoldedSet(names.begin(), names.end());
    translatable_.clear();
}

void TMultiLanguage::SetLanguagesDirectory(const std::string& directory) {
    languagesDirectory_ = ResolvedDirectory(directory);
    Refresh();
}

void TMultiLanguage::SetLangMenuItem(ui::TMenuItem* item) {
    if (item == langMenuItem_) return;
    if (langMenuItem_) RemoveFreeNotification(langMenuItem_);
    langMenuItem_ = item;
    FreeNotification(item);
    RebuildLanguageMenu();
}

void TMultiLanguage::SetUseLanguageBitmaps(bool value) {
    useLanguageBitmaps_ = value;
    RebuildLanguageMenu();
}

void TMultiLanguage::Notification(ui::TComponent* component, ui::TOperation operation) {
    ui::TComponent::Notification(component, operation);
    if (operation == ui::TOperation::opRemove && component == langMenuItem_)
        langMenuItem_ = nullptr;
}

void TMultiLanguage::Refresh() {
    ScanLanguages();
    if (OnRefreshed) OnRefreshed(this);
}

void TMultiLanguage::ScanLanguages() {
    std::string directory = languagesDirectory_;
    if (directory.empty()) {
        wchar_t current[MAX_PATH + 1] = {};
        const DWORD length = ::GetCurrentDirectoryW(MAX_PATH + 1, current);
        directory = win::Utf8Path(std::wstring(current, length <= MAX_PATH ? length : 0));
    }
    if (directory.empty() || (directory.back() != '\\' && directory.back() != '/'))
        directory += '\\';
    files_.clear();
    WIN32_FIND_DATAW found;
    HANDLE search =
        ::FindFirstFileW(win::WidePath(directory + "*." + fileExtension_).c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (IsLanguageFileEntry(found.dwFileAttributes))
                files_.push_back(directory + win::Utf8Path(found.cFileName));
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    RebuildLanguageMenu();
}

void TMultiLanguage::ClearLanguageMenu() {
    if (!langMenuItem_) return;
    for (int i = 0; i < langMenuItem_->Count();) {
        if (langMenuItem_->Items(i)->Tag() != 0) {
            delete langMenuItem_->Items(i);  // leaves its parent's list as it goes
            i = 0;
        } else {
            ++i;
        }
    }
}

void TMultiLanguage::RebuildLanguageMenu() {
    ClearLanguageMenu();
    if (!langMenuItem_) return;
    // The entries go before the last two fixed entries, or from the top.
    const int fixed = langMenuItem_->Count();
    const int base = fixed - 1 < 1 ? 1 : fixed - 1;
    ui::TBitmap noFlag;
    if (useLanguageBitmaps_ && !files_.empty()) ReadNoFlag(noFlag);
    for (std::size_t i = 0; i < files_.size(); ++i) {
        auto item = std::make_unique<ui::TMenuItem>(nullptr);
        item->SetCaption(ReadLanguageName(files_[i]));
        item->SetTag(int(i) + 1);
        if (useLanguageBitmaps_) LoadFlag(*item, files_[i], noFlag);
        item->OnClick = [this](ui::TObject* sender) { LanguageItemClick(sender); };
        langMenuItem_->Insert(base + int(i) - 1, item.get());
        item.release();  // the submenu holds it now
    }
    UpdateLanguageChecks();
}

void TMultiLanguage::UpdateLanguageChecks() {
    if (!langMenuItem_) return;
    for (int i = 0; i < langMenuItem_->Count(); ++i) {
        ui::TMenuItem* item = langMenuItem_->Items(i);
        const int tag = item->Tag();
        if (tag == 0) continue;
        item->SetChecked(tag > 0 && std::size_t(tag) <= files_.size() &&
                         SamePath(files_[std::size_t(tag) - 1], currentFile_));
    }
}

void TMultiLanguage::LanguageItemClick(ui::TObject* Sender) {
    auto* item = dynamic_cast<ui::TMenuItem*>(Sender);
    if (!item) return;
    LoadLanguage(files_.at(std::size_t(item->Tag() - 1)));
}

std::string TMultiLanguage::ReadLanguageName(const std::string& path) {
    // The name is a window text (a menu entry's) in the ANSI code page, as the
    // file holds it.
    wchar_t name[2048] = {};
    ::GetPrivateProfileStringW(L"General", L"LanguageName", L"", name, 2048,
                               win::WidePath(path).c_str());
    return name[0] ? win::NarrowTo(CP_ACP, name) : std::string(kUntitled);
}

std::vector<std::string> TMultiLanguage::GetLanguageNames() const {
    std::vector<std::string> names;
    names.reserve(files_.size());
    for (const std::string& file : files_)
        names.push_back(ReadLanguageName(file));
    return names;
}

void TMultiLanguage::LoadLanguage(const std::string& path) {
    if (OnBeforeLoad) OnBeforeLoad(this);
    // Read whole before anything changes: a file that cannot be read leaves the
    // data, the settings and the windows as they were.
    std::vector<std::string> lines = SplitLines(ReadFileBytes(path));
    data_.Assign(lines);
    currentFile_ = path;
    ReadGeneral();
    lines.clear();
    ApplyToAllForms();
    if (OnAfterLoad) OnAfterLoad(this);
    CheckLanguageVersion();
    UpdateLanguageChecks();
}

void TMultiLanguage::ReadGeneral() {
    auto read = [this](const char* key, std::string fallback) {
        const auto value = data_.Value(kGeneral, key);
        return value ? std::string(*value) : fallback;
    };
    languageName_ = read("LanguageName", win::AnsiFromUtf8(FileNameOf(currentFile_)));
    languageVersion_ = read("LanguageVersion", "1.0");
    author_ = read("Author", "<Unknown>");
    authorEmail_ = read("AuthorEmail", "");
}

void TMultiLanguage::WriteGeneral() const {
    data_.Write(kGeneral, "Author", author_);
    data_.Write(kGeneral, "AuthorEmail", authorEmail_);
    data_.Write(kGeneral, "LanguageName", languageName_);
    data_.Write(kGeneral, "LanguageVersion", languageVersion_);
}

void TMultiLanguage::ApplyToAllForms() {
    // A copy: a handler may open or close a window on the way.
    const std::vector<ui::TForm*> forms = ui::Application->Forms();
    for (ui::TForm* form : forms)
        ApplyToForm(*form, true);
}

void TMultiLanguage::ApplyToForm(ui::TForm& form, bool withControls) {
    // Each window asks for its repaint once, after all its texts have changed.
    const ui::RepaintHold hold;
    ApplyToComponent(form, form);
    if (!withControls) return;
    const std::vector<ui::TComponent*> components = form.Components();
    for (ui::TComponent* component : components)
        ApplyToComponent(*component, form);
}

const std::vector<const ui::Property*>& TMultiLanguage::Translatable(
    const ui::PropertyRegistry& registry) {
    auto found = translatable_.find(&registry);
    if (found != translatable_.end()) return found->second;
    std::vector<const ui::Property*> properties;
    registry.ForEach([&](const ui::Property& p) {
        // A dotted name belongs to an object inside the component (Font.Name).
        if (p.name.find('.') != std::string::npos) return;
        if (p.type == ui::PropType::Text && p.getText && p.setText) {
            if (!SameText(p.name, "Name") && !ignore_.contains(p.name)) properties.push_back(&p);
        } else if (p.type == ui::PropType::StringList && p.getLines && p.setLines) {
            properties.push_back(&p);
        }
    });
    return translatable_.emplace(&registry, std::move(properties)).first->second;
}

void TMultiLanguage::ApplyToComponent(ui::TComponent& component, ui::TForm& form) {
    if (component.Name().empty() || form.Name().empty() ||
        dynamic_cast<TMultiLanguage*>(&component))
        return;
    const IniSection* section = data_.Section(form.Name());
    if (!section) return;
    const std::string prefix = component.Name() + ".";
    std::string key;
    for (const ui::Property* p : Translatable(component.Properties())) {
        key.assign(prefix).append(p->name);
        if (p->type == ui::PropType::Text) {
            const auto value = section->Value(key);
            if (!value || value->empty()) continue;
            std::string text(*value);
            bool change = true;
            if (OnReadProperty) OnReadProperty(this, &component, p->name, text, change);
            // A text that is already there is not set again (a tray icon's hint,
            // for one, goes to the notification area each time it is set).
            if (change && p->getText(component) != text) p->setText(component, text);
            continue;
        }
        // A string list, line by line inside its present length.
        std::vector<std::string> lines = p->getLines(component);
        bool changed = false;
        for (std::size_t j = 0; j < lines.size(); ++j) {
            const std::string line = ".Strings[" + std::to_string(j) + "]";
            const auto value = section->Value(key + line);
            if (!value || value->empty()) continue;
            std::string text(*value);
            bool change = true;
            if (OnReadProperty) OnReadProperty(this, &component, p->name + line, text, change);
            if (change && lines[j] != text) {
                lines[j] = std::move(text);
                changed = true;
            }
        }
        if (changed) p->setLines(component, lines);
    }
}

void TMultiLanguage::CheckLanguageVersion() {
    if (IsOlderVersion(languageVersion_, appVersion_) && OnOldLangVersionLoaded)
        OnOldLangVersionLoaded(this);
}

const ui::PropertyRegistry& TMultiLanguage::ClassProperties() {
    static const ui::PropertyRegistry registry = [] {
        using M = TMultiLanguage;
        ui::PropertyRegistry r("TMultiLanguage", &ui::TComponent::ClassProperties());
        ui::Registrar<M>(r)
            .Boolean("AutoSaveExistentForms", &M::AutoSaveExistentForms,
                     &M::SetAutoSaveExistentForms)
            .Text("AppVersion", &M::AppVersion, &M::SetAppVersion)
            .Text("Author", &M::Author, &M::SetAuthor)
            .Text("AuthorEmail", &M::AuthorEmail, &M::SetAuthorEmail)
            .Text("LanguageName", &M::LanguageName, &M::SetLanguageName)
            .Text("LanguageVersion", &M::LanguageVersion, &M::SetLanguageVersion)
            .Lines("LanguageStrings", &M::LanguageStrings, &M::SetLanguageStrings)
            .Event<TOnWriteCompData>("OnWriteProperty",
                                     [](M& m, TOnWriteCompData e) { m.OnWriteProperty = e; })
            .Event<TOnReadCompData>("OnReadProperty",
                                    [](M& m, TOnReadCompData e) { m.OnReadProperty = e; })
            .Event<ui::TNotifyEvent>("OnBeforeSave",
                                     [](M& m, ui::TNotifyEvent e) { m.OnBeforeSave = e; })
            .Event<ui::TNotifyEvent>("OnBeforeLoad",
                                     [](M& m, ui::TNotifyEvent e) { m.OnBeforeLoad = e; })
            .Event<ui::TNotifyEvent>("OnAfterSave",
                                     [](M& m, ui::TNotifyEvent e) { m.OnAfterSave = e; })
            .Event<ui::TNotifyEvent>("OnAfterLoad",
                                     [](M& m, ui::TNotifyEvent e) { m.OnAfterLoad = e; })
            .Event<ui::TNotifyEvent>("OnOldLangVersionLoaded",
                                     [](M& m, ui::TNotifyEvent e) { m.OnOldLangVersionLoaded = e; })
            .Lines("IgnoreProperties", &M::IgnoreProperties, &M::SetIgnoreProperties)
            .Text("FileExtension", &M::FileExtension, &M::SetFileExtension)
            .Text("LanguagesDirectory", &M::LanguagesDirectory, &M::SetLanguagesDirectory)
            .Reference<ui::TMenuItem>("LangMenuItem", &M::SetLangMenuItem)
            .Boolean("UseLanguageBitmaps", &M::UseLanguageBitmaps, &M::SetUseLanguageBitmaps)
            .Event<ui::TNotifyEvent>("OnRefreshed",
                                     [](M& m, ui::TNotifyEvent e) { m.OnRefreshed = e; });
        return r;
    }();
    return registry;
}

}  // namespace lang
