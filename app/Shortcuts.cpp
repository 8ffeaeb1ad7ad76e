#include "app/Shortcuts.h"

namespace {

struct Shortcut {
    WPARAM key;
    bool shift;
    const char* item;
};
constexpr Shortcut kShortcuts[] = {
    {'C', false, "MenuCopy"}, {'S', false, "MenuSaveAs"}, {'P', false, "MenuPrint"},
    {'Z', false, "MenuUndo"}, {'Z', true, "MenuRedo"},    {'Y', false, "MenuRedo"},
};

}  // namespace

const char* ShortcutItem(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || ::GetKeyState(VK_CONTROL) >= 0 || ::GetKeyState(VK_MENU) < 0)
        return nullptr;
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    for (const Shortcut& s : kShortcuts)
        // Shift makes no difference to the keys that have no shifted meaning.
        if (s.key == msg.wParam && (s.shift == shift || s.key != 'Z')) return s.item;
    return nullptr;
}
