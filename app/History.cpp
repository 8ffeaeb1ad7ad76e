#include "app/History.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <utility>

#include "ui/TTimer.h"

namespace {

// The history rests this long after a change before the packing starts, so that
// the rest of the command that made the change (a capture shows the window again
// and repaints it), the commands' refresh and a quick next command go first.
constexpr unsigned kRestMilliseconds = 250;
// Then a tick this often, each packing for at most this long, and only while no
// input, message, repaint or other timer waits.
constexpr unsigned kTickMilliseconds = 10;
constexpr auto kSlice = std::chrono::milliseconds(15);

bool SomethingWaits() {
    return HIWORD(::GetQueueStatus(QS_INPUT | QS_HOTKEY | QS_POSTMESSAGE | QS_SENDMESSAGE |
                                   QS_PAINT | QS_TIMER)) != 0;
}

std::size_t BytesOf(ui::TBitmap& bitmap) {
    if (bitmap.Empty()) return 0;
    const glimra::PixelView v = bitmap.View();
    return std::size_t(v.height) * std::size_t(v.stride < 0 ? -v.stride : v.stride);
}

}  // namespace

History::History(CurrentPicture& picture, std::size_t limit, Packing packing)
    : picture_(picture), limit_(limit), packing_(packing) {
    if (packing_ == Packing::Off) return;
    timer_.reset(new ui::TTimer(nullptr));
    timer_->SetEnabled(false);
    timer_->OnTimer = [this](ui::TObject*) { Idle(); };
}

History::~History() = default;

std::size_t History::Step::Bytes() const {
    std::size_t bytes = kept;
    for (const Piece& piece : pieces)
        bytes += piece.pixels.capacity() + piece.packed.Bytes();
    if (whole) bytes += BytesOf(*whole);
    if (packed) bytes += packed->bytes.Bytes();
    return bytes;
}

std::size_t History::Step::Unpacked() const {
    if (open) return 0;
    std::size_t bytes = whole ? BytesOf(*whole) : 0;
    for (const Piece& piece : pieces)
        bytes += piece.pixels.size();
    return bytes;
}

std::size_t History::Pictures() const {
    std::size_t pictures = 0;
    for (const Step& s : steps_)
        pictures += s.whole && !s.whole->Empty();
    return pictures;
}

std::size_t History::Unpacked() const {
    if (packing_ == Packing::Off) return 0;
    std::size_t bytes = 0;
    for (const Step& s : steps_)
        bytes += s.Unpacked();
    return bytes;
}

void History::Count() {
    bytes_ = work_ ? work_->packer.Bytes() : 0;
    for (const Step& s : steps_)
        bytes_ += s.Bytes();
}

History::Step* History::Find(std::uint64_t number) {
    // The numbers grow from the oldest step to the newest.
    auto it = std::lower_bound(steps_.begin(), steps_.end(), number,
                               [](const Step& s, std::uint64_t n) { return s.number < n; });
    return it != steps_.end() && it->number == number ? &*it : nullptr;
}

void History::Forget(std::uint64_t number) {
    if (work_ && work_->number == number) work_.reset();
}

void History::ForgetGone() {
    if (work_ && !Find(work_->number)) work_.reset();
}

bool History::StartWork() {
    for (Step& s : steps_) {
        if (s.open) continue;
        // An empty picture (the one before the first capture) holds nothing to pack.
        if (s.whole && !s.whole->Empty()) {
            const glimra::PixelView v = s.whole->View();
            work_.emplace(Work{s.number, -1, Packer(v.data, BytesOf(*s.whole))});
            return true;
        }
        for (std::size_t i = 0; i < s.pieces.size(); ++i)
            if (!s.pieces[i].pixels.empty()) {
                const Piece& p = s.pieces[i];
                work_.emplace(Work{s.number, int(i), Packer(p.pixels.data(), p.pixels.size())});
                return true;
            }
    }
    return false;
}

void History::WorkOn() {
    Packer& packer = work_->packer;
    packer.Next();
    if (!packer.Done()) return;
    Step* step = Find(work_->number);
    if (!step) {
        work_.reset();
        return;
    }
    if (work_->piece < 0) {
        ui::TBitmap& whole = *step->whole;
        step->packed.emplace(PackedPicture{whole.Width(), whole.Height(), whole.PixelFormat(),
                                           whole.Alpha(), packer.Finish()});
        step->whole.reset();
    } else {
        Piece& piece = step->pieces[std::size_t(work_->piece)];
        piece.packed = packer.Finish();
        std::vector<std::uint8_t>().swap(piece.pixels);
    }
    work_.reset();
}

void History::Rest() {
    if (!timer_) return;
    timer_->SetEnabled(false);
    timer_->SetInterval(kRestMilliseconds);
    timer_->SetEnabled(true);
}

void History::Idle() {
    const auto start = std::chrono::steady_clock::now();
    try {
        do {
            if (!work_ && !StartWork()) {
                timer_->SetEnabled(false);
                Count();
                return;
            }
            WorkOn();
        } while (!SomethingWaits() && std::chrono::steady_clock::now() - start < kSlice);
    } catch (const std::bad_alloc&) {
        // No memory for the packed bytes now: the steps stay as they are, and the
        // next change tries again.
        work_.reset();
        timer_->SetEnabled(false);
    }
    Count();
    timer_->SetInterval(kTickMilliseconds);
}

void History::Trim(bool packWaiting) {
    Count();
    // Undo and redo at the bound pack what waits (the step just exchanged above
    // all) rather than drop the steps that the user is on the way to.
    while (packWaiting && bytes_ > limit_ && (work_ || StartWork())) {
        WorkOn();
        if (!work_) Count();
    }
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
    ForgetGone();
}

void History::Push(Step step) {
    if (!step.objects && BeforePixels) BeforePixels();
    step.number = ++taken_;
    steps_.erase(steps_.begin() + std::ptrdiff_t(done_), steps_.end());
    // Only a step joined just now to the next one stays joined: one whose
    // partner was dropped or undone and replaced stands alone.
    if (!steps_.empty() && !joining_) steps_.back().withNext = false;
    joining_ = step.withNext;
    ForgetGone();
    // A step kept for a later Confine is past its chance once another is taken.
    if (!steps_.empty()) steps_.back().open = false;
    steps_.push_back(std::move(step));
    done_ = steps_.size();
    Trim();
    Rest();
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
    step.open = true;
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
        if (area.left < area.right) step.pieces.push_back({area, AreaPixels(v, area), {}});
    }
    if (!step.pieces.empty()) Push(std::move(step));
}

void History::Confine(std::uint64_t number, RECT area) {
    if (done_ == 0 || steps_[done_ - 1].number != number || !steps_[done_ - 1].whole) return;
    Step& step = steps_[done_ - 1];
    Forget(step.number);
    const glimra::PixelView v = step.whole->View();
    area = Within(area, v);
    step.bytesPerPixel = v.bytesPerPixel;
    step.pieces.clear();
    step.pieces.push_back({area, AreaPixels(v, area), {}});
    step.whole.reset();
    step.open = false;
    Count();
    Rest();
}

void History::Reversible(std::function<void()> undo, std::function<void()> redo, std::size_t kept) {
    PushReversible(std::move(undo), std::move(redo), kept, false, false);
}

void History::Objects(std::function<void()> undo, std::function<void()> redo, std::size_t kept) {
    PushReversible(std::move(undo), std::move(redo), kept, true, false);
}

void History::Flatten(std::function<void()> undo, std::function<void()> redo, std::size_t kept) {
    PushReversible(std::move(undo), std::move(redo), kept, true, true);
}

void History::PushReversible(std::function<void()> undo, std::function<void()> redo,
                             std::size_t kept, bool objects, bool withNext) {
    Step step;
    step.undo = std::move(undo);
    step.redo = std::move(redo);
    step.kept = kept;
    step.objects = objects;
    step.withNext = withNext;
    Push(std::move(step));
}

bool History::Unpack(Step& step) {
    if (step.packed) {
        PackedPicture& packed = *step.packed;
        auto whole = std::make_unique<ui::TBitmap>();
        if (!packed.bytes.Empty()) {
            whole->Recreate(packed.format, packed.width, packed.height);
            if (BytesOf(*whole) != packed.bytes.RawSize() ||
                !packed.bytes.UnpackTo(whole->View().data))
                return false;
            whole->SetAlpha(packed.alpha);
        }
        step.whole = std::move(whole);
        step.packed.reset();
    }
    // Every piece comes back before any of them is taken.
    std::vector<std::vector<std::uint8_t>> pixels(step.pieces.size());
    for (std::size_t i = 0; i < step.pieces.size(); ++i) {
        const PackedBytes& packed = step.pieces[i].packed;
        if (packed.Empty()) continue;
        pixels[i].resize(packed.RawSize());
        if (!packed.UnpackTo(pixels[i].data())) return false;
    }
    for (std::size_t i = 0; i < step.pieces.size(); ++i) {
        if (step.pieces[i].packed.Empty()) continue;
        step.pieces[i].pixels = std::move(pixels[i]);
        step.pieces[i].packed = PackedBytes();
    }
    return true;
}

bool History::Exchange(Step& step) {
    Forget(step.number);
    step.open = false;
    if (!Unpack(step)) return false;
    if (step.whole) {
        picture_.Exchange(*step.whole);
        return true;
    }
    // The area's pixels and the kept ones change places, row by row. A save may
    // have brought the picture to 24 bits since: then only blue, green and red
    // change places.
    picture_.Change([&](ui::TBitmap& bitmap) {
        const glimra::PixelView v = bitmap.View();
        const int kept = step.bytesPerPixel, now = v.bytesPerPixel;
        for (Piece& piece : step.pieces) {
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
    return true;
}

void History::Undo() {
    if (!CanUndo()) return;
    UndoStep();
    // The steps joined to it go back with it.
    while (done_ > 0 && steps_[done_ - 1].withNext)
        UndoStep();
    Trim(true);
    Rest();
    if (OnChange) OnChange();
}

void History::UndoStep() {
    Step& step = steps_[done_ - 1];
    if (step.undo) {
        step.undo();
    } else if (!Exchange(step)) {
        // The steps before it can only be undone after it.
        steps_.erase(steps_.begin(), steps_.begin() + std::ptrdiff_t(done_));
        done_ = 0;
        ForgetGone();
        Count();
        if (OnChange) OnChange();
        throw Damaged(
            "The undo step could not be restored and was dropped, with the steps before it: "
            "the pixels it kept are damaged. The picture stays as it is.");
    }
    --done_;
}

void History::Redo() {
    if (!CanRedo()) return;
    // The steps joined to it come back with it.
    do
        RedoStep();
    while (done_ < steps_.size() && steps_[done_ - 1].withNext);
    Trim(true);
    Rest();
    if (OnChange) OnChange();
}

void History::RedoStep() {
    Step& step = steps_[done_];
    if (step.redo) {
        step.redo();
    } else if (!Exchange(step)) {
        // The steps after it can only be redone after it.
        steps_.erase(steps_.begin() + std::ptrdiff_t(done_), steps_.end());
        ForgetGone();
        Count();
        if (OnChange) OnChange();
        throw Damaged(
            "The redo step could not be restored and was dropped, with the steps after it: "
            "the pixels it kept are damaged. The picture stays as it is.");
    }
    ++done_;
}
