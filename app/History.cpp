#include "app/History.h"

#include <algorithm>
#include <cstring>
#include <utility>

std::size_t History::Step::Bytes() const {
    std::size_t bytes = kept;
    for (const Piece& piece : pieces)
        bytes += piece.pixels.size();
    if (whole && !whole->Empty()) {
        const glimra::PixelView v = whole->View();
        bytes += std::size_t(v.height) * std::size_t(v.stride < 0 ? -v.stride : v.stride);
    }
    return bytes;
}

std::size_t History::Pictures() const {
    std::size_t pictures = 0;
    for (const Step& s : steps_)
        pictures += s.whole && !s.whole->Empty();
    return pictures;
}

void History::Count() {
    bytes_ = 0;
    for (const Step& s : steps_)
        bytes_ += s.Bytes();
}

void History::Trim() {
    Count();
    // The oldest step goes first; then, if still over, the one furthest to redo.
    while (bytes_ > limit_ && done_ > 0) {
        bytes_ -= steps_.front().Bytes();
        steps_.pop_front();
        --done_;
    }
    while (bytes_ > limit_ && steps_.size() > done_) {
        bytes_ -= steps_.back().Bytes();
        steps_.pop_back();
    }
}

void History::Push(Step step) {
    step.number = ++taken_;
    steps_.erase(steps_.begin() + std::ptrdiff_t(done_), steps_.end());
    steps_.push_back(std::move(step));
    done_ = steps_.size();
    Trim();
    if (OnChange) OnChange();
}

void History::Replace(ui::TBitmap& next) {
    Step step;
    step.whole = std::make_unique<ui::TBitmap>();
    step.whole->Take(next);
    picture_.Exchange(*step.whole);
    Push(std::move(step));
}

std::uint64_t History::KeepWhole() {
    if (picture_.Empty()) return 0;
    Step step;
    step.whole = std::make_unique<ui::TBitmap>();
    step.whole->Assign(picture_.Bitmap());
    Push(std::move(step));
    return taken_;
}

void History::KeepBefore(const std::function<void()>& change) {
    Step step;
    step.whole = std::make_unique<ui::TBitmap>();
    bool kept = false;
    picture_.KeepBefore([&](ui::TBitmap& before) {
        step.whole->Take(before);
        kept = true;
    });
    // Whatever the change does, the picture is not handed to this step later.
    struct Disarm {
        CurrentPicture& picture;
        ~Disarm() { picture.KeepBefore(nullptr); }
    } disarm{picture_};
    try {
        change();
    } catch (...) {
        if (kept) Push(std::move(step));
        throw;
    }
    if (kept) Push(std::move(step));
}

namespace {

// `area` within the picture; empty when nothing of it is.
RECT Within(RECT area, const glimra::PixelView& v) {
    area.left = std::max(area.left, 0L);
    area.top = std::max(area.top, 0L);
    area.right = std::min(area.right, LONG(v.width));
    area.bottom = std::min(area.bottom, LONG(v.height));
    if (area.left >= area.right || area.top >= area.bottom) return RECT{};
    return area;
}

// The pixels of `area` of the picture, row after row.
std::vector<std::uint8_t> AreaPixels(const glimra::PixelView& v, RECT area) {
    const std::size_t row = std::size_t(area.right - area.left) * std::size_t(v.bytesPerPixel);
    std::vector<std::uint8_t> pixels(row * std::size_t(area.bottom - area.top));
    for (LONG y = area.top; y < area.bottom; ++y)
        std::memcpy(pixels.data() + row * std::size_t(y - area.top),
                    v.Row(y) + std::ptrdiff_t(area.left) * v.bytesPerPixel, row);
    return pixels;
}

}  // namespace

void History::KeepAreas(const std::vector<RECT>& areas) {
    const glimra::PixelView v = picture_.View();
    Step step;
    step.bytesPerPixel = v.bytesPerPixel;
    for (RECT area : areas) {
        area = Within(area, v);
        if (area.left < area.right) step.pieces.push_back({area, AreaPixels(v, area)});
    }
    if (!step.pieces.empty()) Push(std::move(step));
}

void History::Confine(std::uint64_t number, RECT area) {
    if (done_ == 0 || steps_[done_ - 1].number != number || !steps_[done_ - 1].whole) return;
    Step& step = steps_[done_ - 1];
    const glimra::PixelView v = step.whole->View();
    area = Within(area, v);
    step.bytesPerPixel = v.bytesPerPixel;
    step.pieces = {{area, AreaPixels(v, area)}};
    step.whole.reset();
    Count();
}

void History::Reversible(std::function<void()> undo, std::function<void()> redo, std::size_t kept) {
    Step step;
    step.undo = std::move(undo);
    step.redo = std::move(redo);
    step.kept = kept;
    Push(std::move(step));
}

void History::Exchange(Step& step) {
    if (step.whole) {
        picture_.Exchange(*step.whole);
        return;
    }
    // The area's pixels and the kept ones change places, row by row. A save may
    // have brought the picture to 24 bits since: then only blue, green and red
    // change places.
    picture_.Change([&](ui::TBitmap& bitmap) {
        const glimra::PixelView v = bitmap.View();
        const int kept = step.bytesPerPixel, now = v.bytesPerPixel;
        for (Step::Piece& piece : step.pieces) {
            const RECT a = piece.area;
            const std::size_t row = std::size_t(a.right - a.left) * std::size_t(kept);
            for (LONG y = a.top; y < a.bottom; ++y) {
                std::uint8_t* pixel = v.Row(y) + std::ptrdiff_t(a.left) * now;
                std::uint8_t* other = piece.pixels.data() + row * std::size_t(y - a.top);
                if (kept == now) {
                    std::swap_ranges(pixel, pixel + row, other);
                    continue;
                }
                for (LONG x = a.left; x < a.right; ++x, pixel += now, other += kept)
                    std::swap_ranges(pixel, pixel + 3, other);
            }
        }
    });
}

void History::Undo() {
    if (!CanUndo()) return;
    Step& step = steps_[done_ - 1];
    if (step.undo)
        step.undo();
    else
        Exchange(step);
    --done_;
    Trim();
    if (OnChange) OnChange();
}

void History::Redo() {
    if (!CanRedo()) return;
    Step& step = steps_[done_];
    if (step.redo)
        step.redo();
    else
        Exchange(step);
    ++done_;
    Trim();
    if (OnChange) OnChange();
}
