// Undo and redo of the changes to the current picture. Each step keeps only what
// cannot be computed back: the picture before a change that loses information
// (whole, or the area a change was confined to), nothing for a change that its
// inverse takes back exactly. Undo and redo exchange what a step keeps with the
// current picture, so that they give back the exact pixels and pixel layout
// without a copy. The steps kept are bounded by their memory, the oldest going
// first.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "app/CurrentPicture.h"
#include "ui/TBitmap.h"

class History {
  public:
    static constexpr std::size_t kDefaultLimit = std::size_t(256) << 20;

    explicit History(CurrentPicture& picture, std::size_t limit = kDefaultLimit)
        : picture_(picture), limit_(limit) {}
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
    // nothing happens when it is no longer the last step taken.
    void Confine(std::uint64_t step, RECT area);
    // After a change that `undo` takes back exactly and `redo` repeats; `kept` is
    // the memory that they hold, counted against the bound.
    void Reversible(std::function<void()> undo, std::function<void()> redo, std::size_t kept = 0);

    bool CanUndo() const { return done_ > 0; }
    bool CanRedo() const { return done_ < steps_.size(); }
    void Undo();
    void Redo();

    // Called after every step taken, undone or redone.
    std::function<void()> OnChange;

    // The memory the steps keep, the number of steps, and of the whole pictures
    // among them (each a bitmap of the system's).
    std::size_t Bytes() const { return bytes_; }
    std::size_t Steps() const { return steps_.size(); }
    std::size_t Pictures() const;

  private:
    struct Step {
        std::unique_ptr<ui::TBitmap> whole;  // the other picture of an exchange
        struct Piece {
            RECT area{};  // the area whose pixels `pixels` keeps
            std::vector<std::uint8_t> pixels;
        };
        std::vector<Piece> pieces;
        int bytesPerPixel = 0;             // of the pieces' pixels: the picture's layout of then
        std::function<void()> undo, redo;  // a reversible change
        std::size_t kept = 0;              // the memory they hold
        std::uint64_t number = 0;
        std::size_t Bytes() const;
    };
    // Takes the step and forgets the steps that could have been redone.
    void Push(Step step);
    // While the memory is over the limit: drops the oldest step, and then the
    // step furthest to redo.
    void Trim();
    // Exchanges what the step keeps with the current picture.
    void Exchange(Step& step);
    void Count();

    CurrentPicture& picture_;
    std::size_t limit_;
    std::deque<Step> steps_;
    std::size_t done_ = 0;  // steps_[0, done_) can be undone, the rest redone
    std::size_t bytes_ = 0;
    std::uint64_t taken_ = 0;  // the number of the last step taken
};
