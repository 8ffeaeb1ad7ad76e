#include "app/Shortcuts.h"

#include "app/editor/PictureTools.h"
#include "app/editor/ToolChoice.h"
#include "ui/TForm.h"
#include "ui/TMenuItem.h"

namespace {

struct Shortcut {
    WPARAM key;
    bool shift;
    const char* item;
};
constexpr Shortcut kShortcuts[] = {
    {'C', false, "MenuCopy"}, {'S', false, "MenuSaveAs"}, {'P', false, "MenuPrint"},
    {'Z', false, "MenuUndo"}, {'Z', true, "MenuRedo"},    {'Y', false, "MenuRedo"},
    {'T', false, "MenuPin"},  {'O', false, "MenuOpen"},   {'V', false, "MenuPaste"},
};

// The name of the menu item whose shortcut the key message is (Ctrl held, Alt
// not), or nullptr.
const char* ShortcutItem(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || ::GetKeyState(VK_CONTROL) >= 0 || ::GetKeyState(VK_MENU) < 0)
        return nullptr;
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    for (const Shortcut& s : kShortcuts)
        // Shift makes no difference to the keys that have no shifted meaning.
        if (s.key == msg.wParam && (s.shift == shift || s.key != 'Z')) return s.item;
    return nullptr;
}

}  // namespace

bool MainWindowKey(ui::TForm& window, PictureTools& tools, ToolChoice& choice, const MSG& msg) {
    if (tools.Key(msg)) return true;
    if (tools.TakesText()) return false;
    if (const char* name = ShortcutItem(msg)) {
        ui::TMenuItem& item = window.Get<ui::TMenuItem>(name);
        if (item.Enabled()) item.Click();
        return true;
    }
    return choice.Key(msg);
}
