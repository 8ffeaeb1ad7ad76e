// The capture keys that work anywhere: polled on the main window's timer rather
// than registered, so that they reach the program whatever window has the focus.
// Each capture has a key of the user's choosing with its modifiers, kept in the
// registry as readable text ("F7", "Ctrl+Shift+F7", "Alt+PrintScreen").
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

enum class Capture {
    Desktop,
    ActiveWindow,
    Selection,
    WindowOrControl,
    AllDisplays,
    LastRegion,
    Scrolling,
    Recording,
    TextFromRegion
};

// A key with the modifiers held with it.
struct KeyChord {
    WORD key = 0;
    bool ctrl = false, alt = false, shift = false, win = false;
    bool operator==(const KeyChord&) const = default;
    bool Modified() const { return ctrl || alt || shift || win; }
};

// "Ctrl+Alt+D": the modifiers in that order, then a function key, a letter, a
// digit or PrintScreen; anything else is no key.
std::optional<KeyChord> ParseKeyChord(const std::string& text);
std::string FormatKeyChord(const KeyChord& chord);

struct CaptureKey {
    Capture capture;
    const char* setting;  // the registry value
    const char* label;    // the capture's name in the keys dialog
    KeyChord standard;
};
// In the order the poll looks at them and the dialog lists them.
extern const CaptureKey kCaptureKeys[9];

class HotKeys {
  public:
    // The stored keys, each falling back to its default.
    HotKeys();

    const KeyChord& Key(Capture capture) const;
    // The keys to use from now on, one per capture of kCaptureKeys, stored at
    // once. A key given to two captures is refused: the reason, naming both,
    // and nothing changes.
    std::optional<std::string> Set(const std::vector<KeyChord>& keys);

    // The capture of the first key pressed since the last poll, with exactly its
    // modifiers; a key pressed with modifiers that no capture has counts for the
    // capture that has it alone (with the standard keys, Ctrl+F7 takes the
    // desktop), except Shift+F10, Windows' context-menu key. At most one capture
    // per poll.
    std::optional<Capture> Poll();
    // Forgets the presses since the last poll.
    void Drop();
    // The key of that capture has been pressed since the last look (any
    // modifiers): for a countdown that the same key cancels.
    bool PressedAgain(Capture capture);

  private:
    std::vector<KeyChord> keys_;
};

// A dialog (the class of common dialogs and message boxes) or the about box of
// this thread is open: a command still waits on it, so a capture must not start.
bool OwnDialogOpen();
