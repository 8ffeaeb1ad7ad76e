#include "app/CaptureDialogs.h"

#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "app/CaptureOptions.h"
#include "app/HotKeys.h"
#include "resources/dialog_ids.h"
#include "ui/TApplication.h"

namespace {

// The hot-key control's value of a key: the key and its modifiers but Win,
// which the control does not know (its own box stands beside it).
WPARAM ControlValue(const KeyChord& chord) {
    BYTE modifiers = 0;
    if (chord.shift) modifiers |= HOTKEYF_SHIFT;
    if (chord.ctrl) modifiers |= HOTKEYF_CONTROL;
    if (chord.alt) modifiers |= HOTKEYF_ALT;
    return MAKEWORD(chord.key, modifiers);
}

void ShowKeys(HWND dialog, const std::vector<KeyChord>& keys) {
    for (std::size_t i = 0; i < keys.size(); ++i) {
        HWND control = ::GetDlgItem(dialog, IDC_KEY_FIRST + int(i));
        // Every key and combination may be set, a function key alone included.
        ::SendMessageA(control, HKM_SETRULES, 0, 0);
        ::SendMessageA(control, HKM_SETHOTKEY, ControlValue(keys[i]), 0);
        ::CheckDlgButton(dialog, IDC_KEY_WIN_FIRST + int(i),
                         keys[i].win ? BST_CHECKED : BST_UNCHECKED);
    }
}

std::vector<KeyChord> ReadKeys(HWND dialog) {
    std::vector<KeyChord> keys;
    for (std::size_t i = 0; i < std::size(kCaptureKeys); ++i) {
        const LRESULT value =
            ::SendDlgItemMessageA(dialog, IDC_KEY_FIRST + int(i), HKM_GETHOTKEY, 0, 0);
        KeyChord chord{LOBYTE(LOWORD(value))};
        const BYTE modifiers = HIBYTE(LOWORD(value));
        chord.shift = modifiers & HOTKEYF_SHIFT;
        chord.ctrl = modifiers & HOTKEYF_CONTROL;
        chord.alt = modifiers & HOTKEYF_ALT;
        chord.win = ::IsDlgButtonChecked(dialog, IDC_KEY_WIN_FIRST + int(i)) == BST_CHECKED;
        keys.push_back(chord);
    }
    return keys;
}

INT_PTR CALLBACK KeysProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* keys = reinterpret_cast<HotKeys*>(::GetWindowLongPtrA(dialog, DWLP_USER));
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        keys = reinterpret_cast<HotKeys*>(lParam);
        std::vector<KeyChord> now;
        for (const CaptureKey& c : kCaptureKeys)
            now.push_back(keys->Key(c.capture));
        ShowKeys(dialog, now);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
        case IDC_KEY_DEFAULTS: {
            std::vector<KeyChord> standard;
            for (const CaptureKey& c : kCaptureKeys)
                standard.push_back(c.standard);
            ShowKeys(dialog, standard);
            return TRUE;
        }
        case IDOK: {
            const std::vector<KeyChord> chosen = ReadKeys(dialog);
            for (std::size_t i = 0; i < chosen.size(); ++i)
                if (!ParseKeyChord(FormatKeyChord(chosen[i]))) {
                    const std::string text = std::string("The key for ") + kCaptureKeys[i].label +
                                             " must be a function key, a letter, a digit or "
                                             "PrintScreen.";
                    ::MessageBoxA(dialog, text.c_str(), "Keys", MB_OK | MB_ICONWARNING);
                    return TRUE;
                }
            if (const std::optional<std::string> refused = keys->Set(chosen)) {
                ::MessageBoxA(dialog, refused->c_str(), "Keys", MB_OK | MB_ICONWARNING);
                return TRUE;
            }
            ::EndDialog(dialog, IDOK);
            return TRUE;
        }
        case IDCANCEL:
            ::EndDialog(dialog, IDCANCEL);
            return TRUE;
    }
    return FALSE;
}

std::string Text(HWND dialog, int id) {
    char text[MAX_PATH] = {};
    ::GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void BrowseFolder(HWND dialog) {
    BROWSEINFOA browse{};
    browse.hwndOwner = dialog;
    browse.lpszTitle = "The folder for every capture";
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    LPITEMIDLIST chosen = ::SHBrowseForFolderA(&browse);
    if (!chosen) return;
    char path[MAX_PATH] = {};
    if (::SHGetPathFromIDListA(chosen, path)) ::SetDlgItemTextA(dialog, IDC_SAVE_FOLDER, path);
    ::CoTaskMemFree(chosen);
}

const glimra::SaveType kTypes[] = {glimra::SaveType::Bmp, glimra::SaveType::Jpeg,
                                   glimra::SaveType::Gif, glimra::SaveType::Png};

INT_PTR CALLBACK AutoSaveProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* options = reinterpret_cast<CaptureOptions*>(::GetWindowLongPtrA(dialog, DWLP_USER));
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        options = reinterpret_cast<CaptureOptions*>(lParam);
        const AutoSave& now = options->Saving();
        ::CheckDlgButton(dialog, IDC_SAVE_ON, now.on ? BST_CHECKED : BST_UNCHECKED);
        ::SetDlgItemTextA(dialog, IDC_SAVE_FOLDER, now.folder.c_str());
        ::SetDlgItemTextA(dialog, IDC_SAVE_NAME, now.name.c_str());
        for (glimra::SaveType type : kTypes) {
            const LRESULT i = ::SendDlgItemMessageA(dialog, IDC_SAVE_TYPE, CB_ADDSTRING, 0,
                                                    LPARAM(SaveTypeName(type)));
            if (type == now.type) ::SendDlgItemMessageA(dialog, IDC_SAVE_TYPE, CB_SETCURSEL, i, 0);
        }
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
        case IDC_SAVE_BROWSE:
            BrowseFolder(dialog);
            return TRUE;
        case IDOK: {
            AutoSave chosen;
            chosen.on = ::IsDlgButtonChecked(dialog, IDC_SAVE_ON) == BST_CHECKED;
            chosen.folder = Text(dialog, IDC_SAVE_FOLDER);
            chosen.name = Text(dialog, IDC_SAVE_NAME);
            const LRESULT type = ::SendDlgItemMessageA(dialog, IDC_SAVE_TYPE, CB_GETCURSEL, 0, 0);
            chosen.type = type >= 0 && type < 4 ? kTypes[type] : glimra::SaveType::Png;
            std::optional<std::string> problem = NameProblem(chosen.name);
            if (!problem && chosen.on && chosen.folder.empty())
                problem = "Choose the folder that every capture is saved into.";
            if (problem) {
                ::MessageBoxA(dialog, problem->c_str(), "Save Every Capture",
                              MB_OK | MB_ICONWARNING);
                return TRUE;
            }
            options->SetSaving(chosen);
            ::EndDialog(dialog, IDOK);
            return TRUE;
        }
        case IDCANCEL:
            ::EndDialog(dialog, IDCANCEL);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

bool EditKeys(HWND owner, HotKeys& keys) {
    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_HOTKEY_CLASS};
    ::InitCommonControlsEx(&classes);
    return ::DialogBoxParamA(ui::Application->Instance(), "KEYS", owner, KeysProc,
                             reinterpret_cast<LPARAM>(&keys)) == IDOK;
}

bool EditAutoSave(HWND owner, CaptureOptions& options) {
    return ::DialogBoxParamA(ui::Application->Instance(), "AUTOSAVE", owner, AutoSaveProc,
                             reinterpret_cast<LPARAM>(&options)) == IDOK;
}
