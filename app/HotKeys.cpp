#include "app/HotKeys.h"

#include <algorithm>
#include <string>

#include "app/Settings.h"
#include "forms/Unit1.h"

const CaptureKey kCaptureKeys[9] = {
    {Capture::Desktop, "KeyDesktop", "Desktop", {VK_F7}},
    {Capture::ActiveWindow, "KeyActiveWindow", "Active Window", {VK_F8}},
    {Capture::Selection, "KeySelection", "Selection", {VK_F9}},
    {Capture::WindowOrControl, "KeyWindow", "Window or Control", {VK_F10}},
    // Ctrl+Alt+Shift with a function key: no key of Windows' own and, but for
    // Excel's Ctrl+Alt+Shift+F9 (left alone here), none that common programs
    // give a meaning to, while Shift+F7 (Word's thesaurus), Shift+F9 (Excel's
    // sheet calculation), Ctrl+Shift+F9 (Word's unlink fields) and Shift+F10
    // (every program's context menu) are taken.
    {Capture::AllDisplays, "KeyAllDisplays", "All Displays", {VK_F7, true, true, true}},
    {Capture::LastRegion, "KeyLastRegion", "Last Region", {VK_F8, true, true, true}},
    {Capture::Scrolling, "KeyScrolling", "Scrolling Window", {VK_F10, true, true, true}},
    {Capture::Recording, "KeyRecording", "Record Screen", {VK_F11, true, true, true}},
    {Capture::TextFromRegion, "KeyTextFromRegion", "Text from Region", {VK_F12, true, true, true}},
};

namespace {

struct Modifier {
    const char* name;
    bool KeyChord::*flag;
    int key;
};
constexpr Modifier kModifiers[] = {
    {"Ctrl", &KeyChord::ctrl, VK_CONTROL},
    {"Alt", &KeyChord::alt, VK_MENU},
    {"Shift", &KeyChord::shift, VK_SHIFT},
    {"Win", &KeyChord::win, VK_LWIN},
};

std::string KeyName(WORD key) {
    if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, char(key));
    if (key == VK_SNAPSHOT) return "PrintScreen";
    return {};
}

std::optional<WORD> KeyNamed(const std::string& name) {
    for (WORD key = VK_F1; key <= VK_F24; ++key)
        if (name == KeyName(key)) return key;
    if (name.size() == 1 && KeyName(WORD(name[0])) == name) return WORD(name[0]);
    if (name == "PrintScreen") return WORD(VK_SNAPSHOT);
    return std::nullopt;
}

bool Held(int key) {
    return ::GetAsyncKeyState(key) < 0 || (key == VK_LWIN && ::GetAsyncKeyState(VK_RWIN) < 0);
}

BOOL CALLBACK FindShownDialog(HWND window, LPARAM found) {
    char cls[8] = {};
    ::GetClassNameA(window, cls, sizeof cls);
    if (!::IsWindowVisible(window) || std::string(cls) != "#32770") return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

}  // namespace

std::optional<KeyChord> ParseKeyChord(const std::string& text) {
    KeyChord chord;
    std::string rest = text;
    for (const Modifier& m : kModifiers) {
        const std::string prefix = std::string(m.name) + "+";
        if (rest.compare(0, prefix.size(), prefix) == 0) {
            chord.*m.flag = true;
            rest.erase(0, prefix.size());
        }
    }
    const std::optional<WORD> key = KeyNamed(rest);
    if (!key) return std::nullopt;
    chord.key = *key;
    return chord;
}

std::string FormatKeyChord(const KeyChord& chord) {
    std::string text;
    for (const Modifier& m : kModifiers)
        if (chord.*m.flag) text += std::string(m.name) + "+";
    return text + KeyName(chord.key);
}

HotKeys::HotKeys() {
    for (const CaptureKey& c : kCaptureKeys)
        keys_.push_back(ParseKeyChord(ReadSetting(c.setting)).value_or(c.standard));
}

const KeyChord& HotKeys::Key(Capture capture) const {
    return keys_[std::size_t(capture)];
}

std::optional<std::string> HotKeys::Set(const std::vector<KeyChord>& keys) {
    for (std::size_t i = 0; i < keys.size(); ++i)
        for (std::size_t j = i + 1; j < keys.size(); ++j)
            if (keys[i] == keys[j])
                return "The key " + FormatKeyChord(keys[i]) + " is given to both " +
                       kCaptureKeys[i].label + " and " + kCaptureKeys[j].label + ".";
    keys_ = keys;
    for (std::size_t i = 0; i < keys.size(); ++i)
        WriteSetting(kCaptureKeys[i].setting, FormatKeyChord(keys[i]));
    return std::nullopt;
}

std::optional<Capture> HotKeys::Poll() {
    std::vector<WORD> looked;
    for (const KeyChord& chord : keys_) {
        if (std::find(looked.begin(), looked.end(), chord.key) != looked.end()) continue;
        looked.push_back(chord.key);
        if (!(::GetAsyncKeyState(chord.key) & 1)) continue;
        KeyChord now{chord.key};
        for (const Modifier& m : kModifiers)
            now.*m.flag = Held(m.key);
        std::optional<Capture> alone;
        for (std::size_t i = 0; i < keys_.size(); ++i) {
            if (keys_[i] == now) return kCaptureKeys[i].capture;
            if (keys_[i].key == now.key && !keys_[i].Modified()) alone = kCaptureKeys[i].capture;
        }
        // Shift+F10 is Windows' key for the context menu of the window in front:
        // it never stands for F10.
        const bool contextMenuKey =
            now.key == VK_F10 && now.shift && !now.ctrl && !now.alt && !now.win;
        if (alone && !contextMenuKey) return alone;
    }
    return std::nullopt;
}

void HotKeys::Drop() {
    for (const KeyChord& chord : keys_)
        ::GetAsyncKeyState(chord.key);
}

bool HotKeys::PressedAgain(Capture capture) {
    return ::GetAsyncKeyState(Key(capture).key) & 1;
}

bool OwnDialogOpen() {
    if (about && about->HandleAllocated() && ::IsWindowVisible(about->Handle())) return true;
    bool open = false;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindShownDialog, reinterpret_cast<LPARAM>(&open));
    return open;
}
