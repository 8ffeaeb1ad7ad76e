#include "imaging/scroll_stitch.h"

#include <algorithm>
#include <cstring>

namespace glimra {

namespace {

// The rows the picture keeps per block.
constexpr std::size_t kBlockRows = 512;

// A row's fingerprint, for finding candidates fast; equal rows are then compared
// byte for byte.
std::uint32_t RowHash(const std::uint8_t* row, std::size_t bytes) {
    std::uint32_t h = 0x811C9DC5u;
    std::size_t i = 0;
    for (; i + 4 <= bytes; i += 4) {
        std::uint32_t word;
        std::memcpy(&word, row + i, 4);
        h = (h ^ word) * 0x01000193u;
        h ^= h >> 15;
    }
    for (; i < bytes; ++i)
        h = (h ^ row[i]) * 0x01000193u;
    return h;
}

}  // namespace

ScrollStitch::ScrollStitch(const PixelView& first)
    : width_(first.width),
      frameHeight_(first.height),
      rowBytes_(std::size_t(first.width) * std::size_t(first.bytesPerPixel)),
      tail_(first.height) {
    last_ = Read(first);
    ReplaceFoot(0, last_, 0);
}

ScrollStitch::Frame ScrollStitch::Read(const PixelView& view) const {
    Frame f;
    f.pixels.resize(rowBytes_ * std::size_t(frameHeight_));
    f.hashes.resize(std::size_t(frameHeight_));
    for (int y = 0; y < frameHeight_; ++y) {
        std::uint8_t* row = f.pixels.data() + std::size_t(y) * rowBytes_;
        std::memcpy(row, view.Row(y), rowBytes_);
        f.hashes[std::size_t(y)] = RowHash(row, rowBytes_);
    }
    return f;
}

bool ScrollStitch::SameRow(const Frame& a, int ya, const Frame& b, int yb) const {
    return a.hashes[std::size_t(ya)] == b.hashes[std::size_t(yb)] &&
           std::memcmp(Row(a, ya), Row(b, yb), rowBytes_) == 0;
}

ScrollStitch::Join ScrollStitch::Add(const PixelView& frame) {
    Frame f = Read(frame);
    const int h = frameHeight_;
    int top = 0;
    while (top < h && SameRow(last_, top, f, top))
        ++top;
    if (top == h) return Join::Still;
    int bottom = 0;
    while (bottom < h - top && SameRow(last_, h - 1 - bottom, f, h - 1 - bottom))
        ++bottom;
    // The moving part: rows [top, top + moving). Its first and last rows differ
    // from the rows at their places before.
    const int moving = h - top - bottom;
    const int overlapNeeded = std::min(kMinimumOverlap, std::max(1, moving / 2));
    int offset = 0, found = 0;
    for (int d = 1; d <= moving - overlapNeeded && found < 2; ++d) {
        const int overlap = moving - d;
        int i = 0;
        while (i < overlap &&
               f.hashes[std::size_t(top + i)] == last_.hashes[std::size_t(top + d + i)])
            ++i;
        if (i < overlap) continue;
        i = 0;
        while (i < overlap && std::memcmp(Row(f, top + i), Row(last_, top + d + i), rowBytes_) == 0)
            ++i;
        if (i < overlap) continue;
        offset = d;
        ++found;
    }
    // The footer to be replaced must be rows that the picture ends with.
    if (found != 1 || bottom > tail_) return Join::Uncertain;
    ReplaceFoot(bottom, f, h - bottom - offset);
    tail_ = std::min(tail_ + offset, h - top);
    fixedTop_ = top;
    fixedBottom_ = bottom;
    last_ = std::move(f);
    return Join::Moved;
}

void ScrollStitch::ReplaceFoot(int rows, const Frame& f, int from) {
    std::size_t drop = std::size_t(rows) * rowBytes_;
    while (drop > 0) {
        std::vector<std::uint8_t>& block = blocks_.back();
        const std::size_t n = std::min(drop, block.size());
        block.resize(block.size() - n);
        drop -= n;
        if (block.empty()) blocks_.pop_back();
    }
    height_ -= rows;
    for (int y = from; y < frameHeight_; ++y) {
        if (blocks_.empty() || blocks_.back().size() == kBlockRows * rowBytes_) {
            blocks_.emplace_back();
            blocks_.back().reserve(kBlockRows * rowBytes_);
        }
        const std::uint8_t* row = Row(f, y);
        blocks_.back().insert(blocks_.back().end(), row, row + rowBytes_);
        ++height_;
    }
}

const std::uint8_t* ScrollStitch::PictureRow(int y) const {
    // Every block but the last is full.
    return blocks_[std::size_t(y) / kBlockRows].data() + std::size_t(y) % kBlockRows * rowBytes_;
}

std::optional<int> ScrollStitch::Locate(const PixelView& frame, int near) const {
    if (frame.width != width_ || frame.height != frameHeight_) return std::nullopt;
    const int top = fixedTop_, moving = frameHeight_ - fixedTop_ - fixedBottom_;
    const int first = top, last = height_ - fixedBottom_ - moving;
    if (moving <= 0 || last < first) return std::nullopt;
    const auto fits = [&](int y) {
        for (int i = 0; i < moving; ++i)
            if (std::memcmp(PictureRow(y + i), frame.Row(top + i), rowBytes_) != 0) return false;
        return true;
    };
    // Outwards from `near`, so that the nearest of repeated places is found first.
    near = std::clamp(near, first, last);
    for (int d = 0; near - d >= first || near + d <= last; ++d) {
        if (near - d >= first && fits(near - d)) return near - d;
        if (d > 0 && near + d <= last && fits(near + d)) return near + d;
    }
    return std::nullopt;
}

void ScrollStitch::CopyTo(const PixelView& target, int rows) const {
    int y = 0;
    rows = std::min(rows, height_);
    for (const std::vector<std::uint8_t>& block : blocks_)
        for (std::size_t at = 0; at < block.size() && y < rows; at += rowBytes_, ++y)
            std::memcpy(target.Row(y), block.data() + at, rowBytes_);
}

}  // namespace glimra
