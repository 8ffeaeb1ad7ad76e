#include "ui/SpareBitmaps.h"

#include <utility>

namespace ui::SpareBitmaps {

namespace {

struct Spare {
    win::Bitmap bitmap;
    void* bits = nullptr;
    int width = 0, height = 0, bitsPerPixel = 0;
};

// The kept ones, the oldest first; the program makes and drops its pictures on
// the window thread alone.
Spare kept[kKept];
int count = 0;

long long BytesOf(int width, int height, int bitsPerPixel) {
    return ((static_cast<long long>(width) * bitsPerPixel + 31) / 32) * 4 * height;
}

}  // namespace

void Keep(win::Bitmap bitmap, void* bits, int width, int height, int bitsPerPixel) {
    if (!bitmap || !bits || BytesOf(width, height, bitsPerPixel) < kSmallest) return;
    if (count == kKept) {
        // The oldest goes back to the system.
        for (int i = 1; i < count; ++i)
            kept[i - 1] = std::move(kept[i]);
        --count;
    }
    kept[count++] = {std::move(bitmap), bits, width, height, bitsPerPixel};
}

bool Take(int width, int height, int bitsPerPixel, win::Bitmap& bitmap, void*& bits) {
    // The latest first: its memory is the likeliest still in the caches.
    for (int i = count - 1; i >= 0; --i) {
        Spare& spare = kept[i];
        if (spare.width != width || spare.height != height || spare.bitsPerPixel != bitsPerPixel)
            continue;
        bitmap = std::move(spare.bitmap);
        bits = spare.bits;
        for (int j = i + 1; j < count; ++j)
            kept[j - 1] = std::move(kept[j]);
        --count;
        return true;
    }
    return false;
}

}  // namespace ui::SpareBitmaps
