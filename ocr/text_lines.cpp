#include "ocr/text_lines.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace glimra::ocr {

namespace {

// A gutter is at least this many line heights wide...
constexpr double kGutterLines = 3.5;
// ...and the columns beside it at least this many line heights wide, each with
// at least two lines, which a column of line numbers is not.
constexpr double kColumnLines = 8.0;
// Lines are cut into groups, where columns may start, at gaps this much wider
// than their usual gap.
constexpr double kParagraphGap = 1.6;
// A block this much taller than the usual line holds lines that touch.
constexpr double kTouchingLines = 1.6;
// Cuts go no deeper than this.
constexpr int kMaxDepth = 12;

struct Run {
    int begin, end;  // end exclusive
    int Length() const { return end - begin; }
};

class Cutter {
  public:
    explicit Cutter(const GrayImage& ink) : ink_(ink) {}

    void Cut(Box region, int depth, int usualHeight, std::vector<TextLine>& out) const;

  private:
    std::vector<int> RowCounts(const Box& b) const {
        std::vector<int> counts(std::size_t(b.Height()));
        for (int y = b.top; y < b.bottom; ++y) {
            const std::uint8_t* p = &ink_.pixels[std::size_t(y) * std::size_t(ink_.width)];
            int n = 0;
            for (int x = b.left; x < b.right; ++x)
                n += p[x] < kInkGray;
            counts[std::size_t(y - b.top)] = n;
        }
        return counts;
    }
    std::vector<int> ColumnCounts(const Box& b) const {
        std::vector<int> counts(std::size_t(b.Width()));
        for (int y = b.top; y < b.bottom; ++y) {
            const std::uint8_t* p = &ink_.pixels[std::size_t(y) * std::size_t(ink_.width)];
            for (int x = b.left; x < b.right; ++x)
                counts[std::size_t(x - b.left)] += p[x] < kInkGray;
        }
        return counts;
    }
    // The box shrunk to its ink; empty where it has none.
    Box Trim(Box b) const {
        const std::vector<int> rows = RowCounts(b);
        int top = 0, bottom = int(rows.size());
        while (top < bottom && rows[std::size_t(top)] == 0)
            ++top;
        while (bottom > top && rows[std::size_t(bottom - 1)] == 0)
            --bottom;
        if (top == bottom) return {};
        b.bottom = b.top + bottom;
        b.top += top;
        const std::vector<int> columns = ColumnCounts(b);
        int left = 0, right = int(columns.size());
        while (columns[std::size_t(left)] == 0)
            ++left;
        while (columns[std::size_t(right - 1)] == 0)
            --right;
        b.right = b.left + right;
        b.left += left;
        return b;
    }
    std::vector<Run> Blocks(const Box& b) const { return InkRuns(RowCounts(b)); }
    static std::vector<Run> InkRuns(const std::vector<int>& counts) {
        std::vector<Run> runs;
        for (int i = 0, n = int(counts.size()); i < n;) {
            if (counts[std::size_t(i)] == 0) {
                ++i;
                continue;
            }
            int j = i;
            while (j < n && counts[std::size_t(j)] != 0)
                ++j;
            runs.push_back({i, j});
            i = j;
        }
        return runs;
    }
    static int MedianHeight(const std::vector<Run>& blocks) {
        std::vector<int> heights;
        for (const Run& r : blocks)
            if (r.Length() >= 3) heights.push_back(r.Length());
        if (heights.empty()) return 0;
        std::nth_element(heights.begin(), heights.begin() + heights.size() / 2, heights.end());
        return heights[heights.size() / 2];
    }
    bool SplitColumns(const Box& region, int depth, int usualHeight,
                      std::vector<TextLine>& out) const;
    bool SplitGroups(const Box& region, const std::vector<Run>& blocks, int depth, int usualHeight,
                     std::vector<TextLine>& out) const;
    void Lines(const Box& region, const std::vector<Run>& blocks, int usualHeight,
               std::vector<TextLine>& out) const;
    void AddLine(Box box, std::vector<TextLine>& out) const;

    const GrayImage& ink_;
};

void Cutter::Cut(Box region, int depth, int usualHeight, std::vector<TextLine>& out) const {
    region = Trim(region);
    if (region.Empty()) return;
    const std::vector<Run> blocks = Blocks(region);
    if (const int median = MedianHeight(blocks); median > 0 && blocks.size() > 1)
        usualHeight = median;
    if (depth < kMaxDepth) {
        if (SplitColumns(region, depth, usualHeight, out)) return;
        if (SplitGroups(region, blocks, depth, usualHeight, out)) return;
    }
    Lines(region, blocks, usualHeight, out);
}

bool Cutter::SplitColumns(const Box& region, int depth, int usualHeight,
                          std::vector<TextLine>& out) const {
    // The widest gap through the whole region first.
    std::vector<Run> gaps;
    const std::vector<int> columns = ColumnCounts(region);
    const std::vector<Run> ink = InkRuns(columns);
    for (std::size_t i = 1; i < ink.size(); ++i)
        gaps.push_back({ink[i - 1].end, ink[i].begin});
    std::sort(gaps.begin(), gaps.end(),
              [](const Run& a, const Run& b) { return a.Length() > b.Length(); });
    for (const Run& gap : gaps) {
        if (gap.Length() < kGutterLines * std::max(usualHeight, 4)) break;
        const Box left = Trim({region.left, region.top, region.left + gap.begin, region.bottom});
        const Box right = Trim({region.left + gap.end, region.top, region.right, region.bottom});
        const std::vector<Run> leftBlocks = Blocks(left), rightBlocks = Blocks(right);
        const int height = std::max({MedianHeight(leftBlocks), MedianHeight(rightBlocks), 4});
        if (leftBlocks.size() < 2 || rightBlocks.size() < 2 ||
            gap.Length() < kGutterLines * height || left.Width() < kColumnLines * height ||
            right.Width() < kColumnLines * height)
            continue;
        Cut(left, depth + 1, usualHeight, out);
        Cut(right, depth + 1, usualHeight, out);
        return true;
    }
    return false;
}

bool Cutter::SplitGroups(const Box& region, const std::vector<Run>& blocks, int depth,
                         int usualHeight, std::vector<TextLine>& out) const {
    if (blocks.size() < 3) return false;
    std::vector<int> gaps;
    for (std::size_t i = 1; i < blocks.size(); ++i)
        gaps.push_back(blocks[i].begin - blocks[i - 1].end);
    std::vector<int> sorted = gaps;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const double wide = std::max(kParagraphGap * sorted[sorted.size() / 2],
                                 sorted[sorted.size() / 2] + 0.5 * usualHeight);
    std::vector<int> cuts;
    for (std::size_t i = 0; i < gaps.size(); ++i)
        if (gaps[i] > wide) cuts.push_back(blocks[i + 1].begin);
    if (cuts.empty()) return false;
    int top = region.top;
    for (int cut : cuts) {
        Cut({region.left, top, region.right, region.top + cut}, depth + 1, usualHeight, out);
        top = region.top + cut;
    }
    Cut({region.left, top, region.right, region.bottom}, depth + 1, usualHeight, out);
    return true;
}

void Cutter::Lines(const Box& region, const std::vector<Run>& blocks, int usualHeight,
                   std::vector<TextLine>& out) const {
    for (const Run& block : blocks) {
        const int height = block.Length();
        const std::vector<int> rows = RowCounts(
            {region.left, region.top + block.begin, region.right, region.top + block.end});
        // How many lines the block holds: from the usual height where the block is
        // far taller, else from the period of its rows' ink where that is strong.
        int lines = 1;
        if (usualHeight > 0 && height > kTouchingLines * usualHeight) {
            lines = std::max(2, int(std::lround(double(height) / (usualHeight + 1))));
        } else if (height >= 16) {
            double mean = 0;
            for (int n : rows)
                mean += n;
            mean /= height;
            double energy = 0;
            for (int n : rows)
                energy += (n - mean) * (n - mean);
            double best = 0;
            int period = 0;
            for (int lag = 6; lag * 1.7 <= height; ++lag) {
                double sum = 0;
                for (int i = 0; i + lag < height; ++i)
                    sum += (rows[std::size_t(i)] - mean) * (rows[std::size_t(i + lag)] - mean);
                const double c = energy > 0 ? sum / energy * height / (height - lag) : 0;
                if (c > best) best = c, period = lag;
            }
            if (best >= 0.5 && period > 0) lines = int(std::lround(double(height) / period));
        }
        // Each cut at the row of least ink around its even place.
        int top = block.begin;
        for (int k = 1; k < lines; ++k) {
            const int place = block.begin + int(std::lround(double(k) * height / lines));
            const int reach = std::max(1, height / (3 * lines));
            int cut = place;
            for (int y = std::max(top + 2, place - reach);
                 y <= std::min(block.end - 2, place + reach); ++y)
                if (rows[std::size_t(y - block.begin)] < rows[std::size_t(cut - block.begin)])
                    cut = y;
            if (cut <= top) continue;
            AddLine({region.left, region.top + top, region.right, region.top + cut}, out);
            top = cut;
        }
        AddLine({region.left, region.top + top, region.right, region.top + block.end}, out);
    }
}

void Cutter::AddLine(Box box, std::vector<TextLine>& out) const {
    box = Trim(box);
    if (box.Height() < 3) return;
    const std::vector<int> rows = RowCounts(box);
    const int most = *std::max_element(rows.begin(), rows.end());
    int dense = 0;
    for (int n : rows)
        dense += 5 * n >= 2 * most;
    out.push_back({box, std::max({dense, box.Height() / 3, 3})});
}

}  // namespace

std::vector<TextLine> FindLines(const GrayImage& ink) {
    std::vector<TextLine> lines;
    Cutter(ink).Cut({0, 0, ink.width, ink.height}, 0, 0, lines);
    return lines;
}

}  // namespace glimra::ocr
