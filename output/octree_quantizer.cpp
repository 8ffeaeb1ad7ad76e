#include "output/octree_quantizer.h"

#include <array>
#include <cstdint>

namespace glimra {

namespace {

constexpr int kDepth = 6;
constexpr int kMaxLeaves = 256;
constexpr std::int32_t kNone = -1;

int ChildIndex(int red, int green, int blue, int level) {
    const int shift = 7 - level;
    return (((red >> shift) & 1) << 2) | (((green >> shift) & 1) << 1) | ((blue >> shift) & 1);
}

class Octree {
  public:
    Octree() { root_ = NewNode(0); }

    // Adds `count` pixels of one colour. Only the first can make a leaf; the
    // others go where it went, or to the leaf that absorbed it.
    void Add(int red, int green, int blue, std::uint64_t count) {
        Node& leaf = nodes_[FindLeaf(red, green, blue)];
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
    struct Node {
        // What the descent reads first, together at the start of the node.
        bool leaf = false;
        std::array<std::int32_t, 8> children;
        std::int32_t nextReducible = kNone;  // the node created before it on its level
        std::uint64_t red = 0, green = 0, blue = 0, count = 0;
    };

    std::int32_t NewNode(int level) {
        std::int32_t index;
        if (free_.empty()) {
            index = static_cast<std::int32_t>(nodes_.size());
            nodes_.emplace_back();
        } else {
            index = free_.back();
            free_.pop_back();
            nodes_[index] = Node{};
        }
        Node& node = nodes_[index];
        node.children.fill(kNone);
        if (level == kDepth) {
            node.leaf = true;
            ++leaves_;
        } else {
            node.nextReducible = reducible_[level];
            reducible_[level] = index;
        }
        return index;
    }

    std::int32_t FindLeaf(int red, int green, int blue) {
        std::int32_t index = root_;
        for (int level = 0; !nodes_[index].leaf; ++level) {
            const int child = ChildIndex(red, green, blue, level);
            if (nodes_[index].children[child] == kNone) {
                const std::int32_t created = NewNode(level + 1);  // may move nodes_
                nodes_[index].children[child] = created;
            }
            index = nodes_[index].children[child];
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
        Node& node = nodes_[index];
        reducible_[level] = node.nextReducible;
        int children = 0;
        for (std::int32_t& child : node.children) {
            if (child == kNone) continue;
            node.red += nodes_[child].red;
            node.green += nodes_[child].green;
            node.blue += nodes_[child].blue;
            node.count += nodes_[child].count;
            free_.push_back(child);
            child = kNone;
            ++children;
        }
        node.leaf = true;
        leaves_ -= children - 1;
    }

    void Collect(std::int32_t index, std::vector<PaletteColor>& palette) const {
        const Node& node = nodes_[index];
        if (node.leaf) {
            palette.push_back({static_cast<std::uint8_t>(node.red / node.count),
                               static_cast<std::uint8_t>(node.green / node.count),
                               static_cast<std::uint8_t>(node.blue / node.count)});
            return;
        }
        for (std::int32_t child : node.children)
            if (child != kNone) Collect(child, palette);
    }

    std::vector<Node> nodes_;
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
