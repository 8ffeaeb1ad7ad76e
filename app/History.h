// Undo and redo of the changes to the current picture. Each step keeps only what
// cannot be computed back: the picture before a change that loses information
// (whole, or the area a change was confined to), nothing for a change that its
// inverse takes back exactly. Undo and redo exchange what a step keeps with the
// current picture, so that they give back the exact pixels and pixel layout.
//
// The pixels that the steps keep are packed (see PackedBytes.h) while the program
// waits for the user: a timer of the window thread packs a block at a time once
// the history has stayed unchanged for a moment, and gives way as soon as input
// waits, so that no capture or edit waits for it. A step stays as it was taken
// until then, and one that undo or redo has just exchanged is packed again later.
// The steps kept are bounded by their memory, packed bytes counted as packed and
// the rest as they are, the oldest going first. No capture or edit packs
// anything, not even at the bound: a step still waiting there counts as it is,
// and what its packing frees is room for the steps to come. Undo and redo at the
// bound pack the steps that wait before they drop any, so that going back and
// forth through the history loses nothing.
//
// A packed step whose pixels do not come back with their checksums is dropped,
// with the steps that could only be reached through it, and reported; the
// picture stays as it was.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "app/CurrentPicture.h"
#include "app/PackedBytes.h"
#include "ui/TBitmap.h"
#include "ui/TComponent.h"

namespace ui {
class TTimer;
}

class History {
  public:
    static constexpr std::size_t kDefaultLimit = std::size_t(256) << 20;
    // Whether the steps' pixels are packed while the program is idle.
    enum class Packing { Idle, Off };

    // Raised by Undo and Redo when a step's pixels are damaged; the step is gone.
    class Damaged : public std::runtime_error {
      public:
        using std::runtime_error::runtime_error;
    };

    explicit History(CurrentPicture& picture, std::size_t limit = kDefaultLimit,
                     Packing packing = Packing::Idle);
    ~History();
    History(const History&) = delete;
    History& operator=(const History&) = delete;

    // A change that replaces the picture (a capture, Clear): `next` becomes the
    // current picture and the one before is kept, neither of them copied.
    void Replace(ui::TBitmap& next);
    // Before a change that cannot be computed back: keeps a copy of the picture.
    // Returns the step's number, 0 when nothing was kept (there is no picture).
    std::uint64_t KeepWhole();
    // Runs a change and keeps the picture as it was before: the bitmap itself
    // when the change replaces it, a copy when the change works in place.
    void KeepBefore(const std::function<void()>& change);
    // Before a change confined to `area` that keeps the pixel layout: keeps the
    // pixels of that area.
    void KeepArea(RECT area) { KeepAreas({area}); }
    // The same for a change confined to several areas, which do not overlap.
    void KeepAreas(const std::vector<RECT>& areas);
    // The step of that number, kept by KeepWhole before changes that stayed within
    // `area` and kept the pixel layout, keeps only that area's pixels from now on;
    // nothing happens when it is no longer the last step taken. Until then the
    // step is not packed.
    void Confine(std::uint64_t step, RECT area);
    // After a change that `undo` takes back exactly and `redo` repeats; `kept` is
    // the memory that they hold, counted against the bound (and not packed).
    void Reversible(std::function<void()> undo, std::function<void()> redo, std::size_t kept = 0);

    // The editor's objects over the picture (see app/editor/MarkObjects.h) keep
    // their changes as reversible steps of their own, which change no pixel.
    void Objects(std::function<void()> undo, std::function<void()> redo, std::size_t kept);
    // Called before any other step is taken: the objects go into the pixels there,
    // by a step of Flatten, so that no step of pixels is taken under objects.
    std::function<void()> BeforePixels;
    // The objects' flattening: a step that Undo and Redo take together with the
    // step of pixels that follows it, so that one undo brings back the pixels and
    // the objects over them.
    void Flatten(std::function<void()> undo, std::function<void()> redo, std::size_t kept);
    // The last step taken is undone and redone together with the next one (a
    // capture with the pointer that arrives over it as an object).
    void JoinWithNext() {
        if (steps_.empty() || done_ != steps_.size()) return;
        steps_.back().withNext = true;
        joining_ = true;
    }

    bool CanUndo() const { return done_ > 0; }
    bool CanRedo() const { return done_ < steps_.size(); }
    // Both throw Damaged when the step's packed pixels do not come back whole.
    void Undo();
    void Redo();

    // Called after every step taken, undone, redone or dropped.
    std::function<void()> OnChange;

    // The memory the steps keep (packed pixels as packed), the number of steps,
    // and of the whole pictures among them that are bitmaps of the system's (not
    // yet packed).
    std::size_t Bytes() const { return bytes_; }
    std::size_t Steps() const { return steps_.size(); }
    std::size_t Pictures() const;
    // The bytes of pixels that wait to be packed; 0 once the idle packing is
    // through, and always without packing.
    std::size_t Unpacked() const;

  private:
    friend struct HistoryInternals;  // the tests' look inside

    struct Piece {
        RECT area{};                       // the area whose pixels are kept
        std::vector<std::uint8_t> pixels;  // as they are, row after row
        PackedBytes packed;                // or packed
    };
    // A whole picture, packed: its size and layout, and its bytes.
    struct PackedPicture {
        int width = 0, height = 0;
        ui::TPixelFormat format = ui::TPixelFormat::pf32bit;
        bool alpha = false;  // the bitmap's fourth byte is alpha
        PackedBytes bytes;
    };
    struct Step {
        std::unique_ptr<ui::TBitmap> whole;   // the other picture of an exchange
        std::optional<PackedPicture> packed;  // or that picture packed
        std::vector<Piece> pieces;
        int bytesPerPixel = 0;             // of the pieces' pixels: the picture's layout of then
        std::function<void()> undo, redo;  // a reversible change
        std::size_t kept = 0;              // the memory they hold
        std::uint64_t number = 0;
        bool open = false;      // kept by KeepWhole: Confine may still come
        bool objects = false;   // a step of the objects, taken without BeforePixels
        bool withNext = false;  // undone and redone together with the next step
        std::size_t Bytes() const;
        // The bytes of pixels not yet packed.
        std::size_t Unpacked() const;
    };
    // The packing under way: of a step's whole picture (piece < 0) or a piece.
    struct Work {
        std::uint64_t number = 0;
        int piece = -1;
        Packer packer;
    };

    // A step that its closures take back and repeat: of the objects or not, and
    // joined to the next step or not.
    void PushReversible(std::function<void()> undo, std::function<void()> redo, std::size_t kept,
                        bool objects, bool withNext);
    // Takes the step and forgets the steps that could have been redone.
    void Push(Step step);
    // While the memory is over the limit: packs the steps that wait when
    // `packWaiting`, then drops the oldest step, and then the step furthest to redo.
    void Trim(bool packWaiting = false);
    // Undoes or redoes the one step next to the current picture.
    void UndoStep();
    void RedoStep();
    // Exchanges what the step keeps with the current picture; false, with
    // nothing changed, when its packed pixels are damaged.
    bool Exchange(Step& step);
    // Unpacks the step's pixels; false when they are damaged.
    bool Unpack(Step& step);
    void Count();
    // After a change: the packing starts again once the history has rested.
    void Rest();
    // The timer's tick: packs blocks while nothing else waits, for a short slice.
    void Idle();
    // Starts the packing of the next thing that waits; false when nothing does.
    bool StartWork();
    // Packs the next block of the work under way, and takes the result once done.
    void WorkOn();
    // The step of that number, or nullptr.
    Step* Find(std::uint64_t number);
    // The work under way is dropped when its step is the one given or is gone.
    void Forget(std::uint64_t number);
    void ForgetGone();

    CurrentPicture& picture_;
    std::size_t limit_;
    Packing packing_;
    std::deque<Step> steps_;
    std::size_t done_ = 0;  // steps_[0, done_) can be undone, the rest redone
    std::size_t bytes_ = 0;
    std::uint64_t taken_ = 0;  // the number of the last step taken
    bool joining_ = false;     // the last step taken is joined to the next one
    std::optional<Work> work_;
    std::unique_ptr<ui::TTimer, ui::FreeComponent> timer_;
};
