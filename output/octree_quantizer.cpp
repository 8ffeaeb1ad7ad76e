#include "output/octree_quantizer.h"

#include <array>
#include <cstdint>

namespace glimra {

namespace {

constexpr int kDepth = 6;
constexpr int kMaxLeaves = 256;
constexpr std::int32_t kNone = -1;

// Bit k of a channel moved to bit 3k. In Spread(red) << 2 | Spread(green) << 1
// | Spread(blue), bits 3(7 - n) to 3(7 - n) + 2 are the child index at level n:
// the red, green and blue bit 7 - n.
constexpr std::array<std::uint32_t, 256> kSpread = [] {
    std::array<std::uint32_t, 256> spread{};
    for (int value = 0; value < 256; ++value)
        for (int bit = 0; bit < 8; ++bit)
            if ((value >> bit) & 1) spread[value] |= 1u << (3 * bit);
    return spread;
}();

class Octree {
  public:
    Octree() { root_ = NewNode(0); }

    // Adds `count` pixels of one colour. Only the first can make a leaf; the
    // others go where it went, or to the leaf that absorbed it.
    void Add(int red, int green, int blue, std::uint64_t count) {
        Sums& leaf = sums_[FindLeaf(red, green, blue)];
        leaf.red += static_cast<std::uint64_t>(red) * count;
        leaf.green += static_cast<std::uint64_t>(green) * count;
        leaf.blue += static_cast<std::uint64_t>(blue) * count;
        leaf.count += count;
        while (leaves_ > kMaxLeaves)
            Reduce();
    }

    std::vector<PaletteColor> Palette() const {
        std::vector<PaletteColor> palette;
        Collect(root_, palette);
        return palette;
    }

  private:
    using Children = std::array<std::int32_t, 8>;
    struct Sums {
        std::uint64_t red = 0, green = 0, blue = 0, count = 0;
    };

    // A node is its entries in these, by index. The descent reads only the
    // first two, kept small so that the tree's upper part stays in the cache.
    std::vector<Children> children_;
    std::vector<std::uint8_t> leaf_;
    std::vector<Sums> sums_;                   // of the colours in a leaf
    std::vector<std::int32_t> nextReducible_;  // the node created before it on its level

    std::int32_t NewNode(int level) {
        std::int32_t index;
        if (free_.empty()) {
            index = static_cast<std::int32_t>(leaf_.size());
            children_.emplace_back();
            leaf_.push_back(0);
            sums_.emplace_back();
            nextReducible_.push_back(kNone);
        } else {
            index = free_.back();
            free_.pop_back();
            sums_[index] = Sums{};
        }
        children_[index].fill(kNone);
        leaf_[index] = level == kDepth;
        if (level == kDepth) {
            ++leaves_;
        } else {
            nextReducible_[index] = reducible_[level];
            reducible_[level] = index;
        }
        return index;
    }

    std::int32_t FindLeaf(int red, int green, int blue) {
        const std::uint32_t path = kSpread[red] << 2 | kSpread[green] << 1 | kSpread[blue];
        std::int32_t index = root_;
        for (int level = 0, shift = 21; !leaf_[index]; ++level, shift -= 3) {
            std::int32_t& child = children_[index][(path >> shift) & 7];
            if (child == kNone) {
                const std::int32_t created = NewNode(level + 1);  // may move children_
                children_[index][(path >> shift) & 7] = created;
                index = created;
            } else {
                index = child;
            }
        }
        return index;
    }

    // Makes the newest node of the deepest level with reducible nodes a leaf.
    // All nodes below that level are leaves, so its children are leaves.
    void Reduce() {
        int level = kDepth - 1;
        while (reducible_[level] == kNone)
            --level;
        const std::int32_t index = reducible_[level];
        reducible_[level] = nextReducible_[index];
        Sums& sums = sums_[index];
        int children = 0;
        for (std::int32_t& child : children_[index]) {
            if (child == kNone) continue;
            sums.red += sums_[child].red;
            sums.green += sums_[child].green;
            sums.blue += sums_[child].blue;
            sums.count += sums_[child].count;
            free_.push_back(child);
            child = kNone;
            ++children;
        }
        leaf_[index] = 1;
        leaves_ -= children - 1;
    }

    void Collect(std::int32_t index, std::vector<PaletteColor>& palette) const {
        if (leaf_[index]) {
            const Sums& sums = sums_[index];
            palette.push_back({static_cast<std::uint8_t>(sums.red / sums.count),
                               static_cast<std::uint8_t>(sums.green / sums.count),
                               static_cast<std::uint8_t>(sums.blue / sums.count)});
            return;
        }
        for (std::int32_t child : children_[index])
            if (child != kNone) Collect(child, palette);
    }

    std::vector<std::int32_t> free_;
    std::array<std::int32_t, kDepth> reducible_ = {kNone, kNone, kNone, kNone, kNone, kNone};
    std::int32_t root_ = kNone;
    int leaves_ = 0;
};

}  // namespace

std::vector<PaletteColor> BuildOctreePalette(const PixelView& view) {
    if (view.Empty()) return {};
    Octree tree;
    // Screenshots are mostly runs of one colour: each run goes to the tree once.
    for (int y = 0; y < view.height; ++y) {
        const std::uint8_t* pixel = view.Row(y);
        const std::uint8_t* end = pixel + 3 * static_cast<std::size_t>(view.width);
        while (pixel < end) {
            const std::uint8_t* run = pixel + 3;
            while (run < end && run[0] == pixel[0] && run[1] == pixel[1] && run[2] == pixel[2])
                run += 3;
            tree.Add(pixel[2], pixel[1], pixel[0], static_cast<std::uint64_t>(run - pixel) / 3);
            pixel = run;
        }
    }
    return tree.Palette();
}

}  // namespace glimra
