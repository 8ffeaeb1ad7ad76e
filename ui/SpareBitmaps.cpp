#include "ui/SpareBitmaps.h"

#include <deque>
#include <mutex>
#include <utility>

namespace ui::SpareBitmaps {

namespace {

struct Spare {
    Bitmap bitmap;
    void* bits;
    int width, height, bitsPerPixel;
    long long Bytes() const {
        return ((static_cast<long long>(width) * bitsPerPixel + 31) / 32) * 4 * height;
    }
};

// Pictures are made and dropped on the window thread, but a bitmap may die on
// another, so the list is guarded.
std::mutex& Guard() {
    static std::mutex guard;
    return guard;
}

std::deque<Spare>& Kept() {
    static std::deque<Spare> kept;
    return kept;
}

}  // namespace

void Keep(Bitmap bitmap, void* bits, int width, int height, int bitsPerPixel) {
    Spare spare{std::move(bitmap), bits, width, height, bitsPerPixel};
    if (!spare.bitmap || !bits || spare.Bytes() < kSmallest) return;
    Bitmap dropped;  // deleted after the guard is let go
    std::lock_guard lock(Guard());
    Kept().push_back(std::move(spare));
    if (static_cast<int>(Kept().size()) > kKept) {
        dropped = std::move(Kept().front().bitmap);
        Kept().pop_front();
    }
}

bool Take(int width, int height, int bitsPerPixel, Bitmap& bitmap, void*& bits) {
    std::lock_guard lock(Guard());
    auto& kept = Kept();
    // The latest first: its memory is the likeliest still in the caches.
    for (auto it = kept.rbegin(); it != kept.rend(); ++it)
        if (it->width == width && it->height == height && it->bitsPerPixel == bitsPerPixel) {
            bitmap = std::move(it->bitmap);
            bits = it->bits;
            kept.erase(std::next(it).base());
            return true;
        }
    return false;
}

}  // namespace ui::SpareBitmaps
