#include "recording/gif_animation.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "output/buffered_writer.h"
#include "output/palette_color.h"
#include "output/palette_lookup.h"
#include "output/save_error.h"

namespace glimra {

namespace {

constexpr int kMaxSide = 65535;                  // the format's 16-bit sizes
constexpr int kMaxDelay = 65535;                 // hundredths of a second, also 16 bits
constexpr std::uint32_t kNoColour = 0xFFFFFFFF;  // never a colour: 24 bits

[[noreturn]] void Fail(const std::string& text) {
    throw SaveError("Cannot save the recording as GIF: " + text);
}

// The bits that codes 0 to `last` need, at least 2 (the format's least LZW code size).
int CodeSizeFor(int last) {
    int bits = 2;
    while ((1 << bits) <= last)
        ++bits;
    return bits;
}

std::uint32_t HashColour(std::uint32_t colour, int bits) {
    return (colour * 0x9E3779B1u) >> (32 - bits);
}

// ---- LZW

// GIF's LZW, written here rather than through EGifPutLine for two freedoms that
// a screen recording gains from. A pixel may be written as either of two
// symbols (a pixel that did not change: transparent, or its own colour where the
// palette has it), and the encoder takes whichever extends the string in hand.
// And a full code table is kept while it still serves, as on a screen the same
// glyphs and edges come again and again; it is cleared once its strings have
// stopped matching.
class LzwEncoder {
  public:
    LzwEncoder() : slots_(kSlots, kEmpty) {}

    // How a full code table is dealt with: kept to the end (text: the same
    // glyphs come again and again), cleared when its strings have stopped
    // matching (pictures of different parts), or cleared at once (the classic
    // way, best where long runs of one colour follow what filled it).
    enum class FullTable { kKeep, kClearWhenWorn, kClear };

    // Appends the codes for `count` pixels (at least one) as sub-blocks of up to
    // 255 bytes each, each after its length; the LZW code size before them and
    // the empty block after them are the caller's. True where the table filled.
    bool Encode(const std::uint8_t* first, const std::uint8_t* second, std::size_t count,
                int codeSize, FullTable policy, std::vector<std::uint8_t>& out);

  private:
    static constexpr int kMaxCodes = 4096;  // 12-bit codes
    static constexpr int kSlotBits = 13;
    static constexpr int kSlots = 1 << kSlotBits;
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;
    // A full table's pixels per bit are measured over stretches of this many
    // pixels; it is cleared when a stretch falls below this share (in hundredths)
    // of the best stretch since it filled.
    static constexpr std::size_t kStretch = 16384;
    static constexpr int kWornShare = 75;

    // A slot holds the string's prefix code and last symbol (20 bits) above its
    // own code (12 bits); a full slot never equals kEmpty.
    static std::uint32_t Slot(std::uint32_t key) { return (key * 0x9E3779B1u) >> (32 - kSlotBits); }
    // The code of prefix + symbol (key), or -1 with `slot` where it would go.
    int Find(std::uint32_t key, std::uint32_t& slot) const {
        slot = Slot(key);
        for (;;) {
            const std::uint32_t entry = slots_[slot];
            if (entry == kEmpty) return -1;
            if (entry >> 12 == key) return static_cast<int>(entry & 0xFFF);
            slot = (slot + 1) & (kSlots - 1);
        }
    }

    void PutByte(std::uint8_t byte, std::vector<std::uint8_t>& out) {
        if (blockLength_ == 255) {
            out[blockStart_] = 255;
            blockStart_ = out.size();
            out.push_back(0);
            blockLength_ = 0;
        }
        out.push_back(byte);
        ++blockLength_;
    }
    void Put(int code, int width, std::vector<std::uint8_t>& out) {
        bits_ |= static_cast<std::uint64_t>(code) << bitCount_;
        bitCount_ += width;
        written_ += static_cast<std::size_t>(width);
        while (bitCount_ >= 8) {
            PutByte(static_cast<std::uint8_t>(bits_), out);
            bits_ >>= 8;
            bitCount_ -= 8;
        }
    }

    std::vector<std::uint32_t> slots_;
    std::uint64_t bits_ = 0;
    int bitCount_ = 0;
    std::size_t written_ = 0;  // bits
    std::size_t blockStart_ = 0;
    int blockLength_ = 0;
};

bool LzwEncoder::Encode(const std::uint8_t* first, const std::uint8_t* second, std::size_t count,
                        int codeSize, FullTable policy, std::vector<std::uint8_t>& out) {
    const int clear = 1 << codeSize;
    const int end = clear + 1;
    bits_ = 0;
    bitCount_ = 0;
    written_ = 0;
    blockStart_ = out.size();
    out.push_back(0);
    blockLength_ = 0;

    int next = 0;   // the next code to give out
    int width = 0;  // bits per code
    bool filled = false;
    // Once the table is full: where the current stretch began, and the most
    // pixels per bit of a stretch since.
    std::size_t stretchPixels = 0, stretchBits = 0;
    double best = 0;
    auto reset = [&] {
        std::fill(slots_.begin(), slots_.end(), kEmpty);
        Put(clear, width == 0 ? codeSize + 1 : width, out);
        next = clear + 2;
        width = codeSize + 1;
        best = 0;
    };
    reset();

    int prefix = first[0];
    int last = prefix;  // the symbol last taken
    for (std::size_t i = 1; i < count; ++i) {
        const int a = first[i];
        const int b = second[i];
        // The choice that repeats the last symbol is tried first: runs grow.
        const int try1 = b == last ? b : a;
        const int try2 = b == last ? a : b;
        std::uint32_t slot = 0;
        int code = Find(static_cast<std::uint32_t>(prefix) << 8 | try1, slot);
        if (code >= 0) {
            prefix = code;
            last = try1;
            continue;
        }
        const std::uint32_t slot1 = slot;
        if (try2 != try1) {
            code = Find(static_cast<std::uint32_t>(prefix) << 8 | try2, slot);
            if (code >= 0) {
                prefix = code;
                last = try2;
                continue;
            }
        }
        Put(prefix, width, out);
        // The new string starts with the choice the next pixel can continue.
        int symbol = try1;
        if (try2 != try1 && i + 1 < count) {
            const int nextA = first[i + 1], nextB = second[i + 1];
            if (nextA != try1 && nextB != try1 && (nextA == try2 || nextB == try2)) symbol = try2;
        }
        if (next < kMaxCodes) {
            slots_[symbol == try1 ? slot1 : slot] =
                (static_cast<std::uint32_t>(prefix) << 8 | static_cast<std::uint32_t>(symbol))
                    << 12 |
                static_cast<std::uint32_t>(next);
            ++next;
            if (next > (1 << width) && width < 12) ++width;
            if (next == kMaxCodes) {
                filled = true;
                stretchPixels = i;
                stretchBits = written_;
            }
        } else if (policy == FullTable::kClear) {
            reset();
        } else if (policy == FullTable::kClearWhenWorn && i >= stretchPixels + kStretch) {
            const double ratio = static_cast<double>(i - stretchPixels) /
                                 static_cast<double>(written_ - stretchBits);
            best = std::max(best, ratio);
            stretchPixels = i;
            stretchBits = written_;
            if (ratio * 100 < best * kWornShare) reset();
        }
        prefix = symbol;
        last = symbol;
    }
    Put(prefix, width, out);
    // The decoder adds its entry for the last code before it reads the end code.
    if (next < kMaxCodes && next + 1 > (1 << width) && width < 12) ++width;
    Put(end, width, out);
    if (bitCount_ > 0) PutByte(static_cast<std::uint8_t>(bits_), out);
    if (blockLength_ == 0)
        out.pop_back();
    else
        out[blockStart_] = static_cast<std::uint8_t>(blockLength_);
    return filled;
}

// ---- Colours

// The distinct colours of a frame, up to 256, each with its index (in the order
// first met) and its pixel count: an open-addressed table a few times larger.
class ColourTable {
  public:
    static constexpr int kLimit = 256;

    ColourTable() { Clear(); }

    void Clear() {
        slots_.fill(Slot{});
        colours_.clear();
        counts_.clear();
    }
    // The colour's index, made if new; -1 when the table holds 256 others.
    int Add(std::uint32_t colour) {
        std::uint32_t slot = HashColour(colour, kSlotBits);
        for (;;) {
            Slot& entry = slots_[slot];
            if (entry.colour == colour) return entry.index;
            if (entry.colour == kNoColour) {
                if (Size() == kLimit) return -1;
                entry = {colour, Size()};
                colours_.push_back(colour);
                counts_.push_back(0);
                return entry.index;
            }
            slot = (slot + 1) & (kSlots - 1);
        }
    }
    int Find(std::uint32_t colour) const {
        std::uint32_t slot = HashColour(colour, kSlotBits);
        for (;;) {
            const Slot& entry = slots_[slot];
            if (entry.colour == colour) return entry.index;
            if (entry.colour == kNoColour) return -1;
            slot = (slot + 1) & (kSlots - 1);
        }
    }
    int Size() const { return static_cast<int>(colours_.size()); }
    std::uint32_t Colour(int index) const { return colours_[static_cast<std::size_t>(index)]; }
    std::uint32_t& Count(int index) { return counts_[static_cast<std::size_t>(index)]; }
    std::uint32_t Count(int index) const { return counts_[static_cast<std::size_t>(index)]; }

  private:
    static constexpr int kSlotBits = 10;
    static constexpr int kSlots = 1 << kSlotBits;
    struct Slot {
        std::uint32_t colour = kNoColour;
        int index = 0;
    };
    std::array<Slot, kSlots> slots_;
    std::vector<std::uint32_t> colours_;
    std::vector<std::uint32_t> counts_;
};

PaletteColor ToPaletteColor(std::uint32_t colour) {
    return {static_cast<std::uint8_t>(colour >> 16), static_cast<std::uint8_t>(colour >> 8),
            static_cast<std::uint8_t>(colour)};
}
std::uint32_t FromPaletteColor(const PaletteColor& colour) {
    return std::uint32_t{colour.red} << 16 | std::uint32_t{colour.green} << 8 | colour.blue;
}

// The colours of a frame that has more than 256, counted exactly (up to
// kMaxExact of them; past that, by colours cut to five bits a channel), and a
// table made of them by a median cut that cuts, each time, the box with the
// largest squared error where that error falls most. A box of one colour gives
// that colour exactly, so that on a screen, where a few colours cover most
// pixels, those stay exact.
class Quantizer {
  public:
    Quantizer() : slots_(kSlots, kNone) {}

    void Clear() {
        for (const Entry& entry : entries_)
            slots_[entry.slot] = kNone;
        entries_.clear();
        binned_ = false;
        bins_.assign(0, Bin{});
    }
    void Add(std::uint32_t colour, std::uint32_t count) {
        if (binned_) {
            AddToBin(colour, count);
            return;
        }
        std::uint32_t slot = HashColour(colour, kSlotBits);
        for (;;) {
            const std::int32_t at = slots_[slot];
            if (at == kNone) break;
            if (entries_[static_cast<std::size_t>(at)].colour == colour) {
                entries_[static_cast<std::size_t>(at)].count += count;
                return;
            }
            slot = (slot + 1) & (kSlots - 1);
        }
        if (entries_.size() == kMaxExact) {
            // Too many to tell apart: from here on, by bins.
            binned_ = true;
            bins_.assign(1 << 15, Bin{});
            for (const Entry& entry : entries_)
                AddToBin(entry.colour, entry.count);
            AddToBin(colour, count);
            return;
        }
        slots_[slot] = static_cast<std::int32_t>(entries_.size());
        entries_.push_back({colour, count, slot, 0});
    }
    bool Exact() const { return !binned_; }

    // At most `limit` colours: each box's average, or with `members` its most
    // common colour, so that the table holds only colours that occur (the
    // global table: later frames find their colours in it exactly).
    std::vector<PaletteColor> Palette(int limit, bool members);

    // Each exact colour's symbol: a `low` and a `high` palette index and the
    // Bayer level below which the high one is taken.
    struct Entry {
        std::uint32_t colour;
        std::uint32_t count;
        std::uint32_t slot;
        std::uint32_t symbols;  // low | high << 8 | level << 16
    };
    std::vector<Entry>& Entries() { return entries_; }
    Entry& Find(std::uint32_t colour) {
        std::uint32_t slot = HashColour(colour, kSlotBits);
        while (entries_[static_cast<std::size_t>(slots_[slot])].colour != colour)
            slot = (slot + 1) & (kSlots - 1);
        return entries_[static_cast<std::size_t>(slots_[slot])];
    }

  private:
    static constexpr std::size_t kMaxExact = 1 << 16;
    static constexpr int kSlotBits = 17;
    static constexpr std::uint32_t kSlots = 1u << kSlotBits;
    static constexpr std::int32_t kNone = -1;
    struct Bin {
        std::uint64_t count = 0, red = 0, green = 0, blue = 0;
    };
    struct Item {
        int channel[3];
        std::uint64_t count;
    };
    struct Box {
        std::size_t begin, end;
        double error;  // the sum of squared distances to its mean
    };
    void AddToBin(std::uint32_t colour, std::uint32_t count) {
        Bin& bin = bins_[(colour >> 9 & 0x7C00) | (colour >> 6 & 0x3E0) | (colour >> 3 & 0x1F)];
        bin.count += count;
        bin.red += std::uint64_t{colour >> 16 & 0xFF} * count;
        bin.green += std::uint64_t{colour >> 8 & 0xFF} * count;
        bin.blue += std::uint64_t{colour & 0xFF} * count;
    }
    Box Measure(std::size_t begin, std::size_t end) const;

    std::vector<std::int32_t> slots_;
    std::vector<Entry> entries_;
    bool binned_ = false;
    std::vector<Bin> bins_;
    std::vector<Item> items_;
};

Quantizer::Box Quantizer::Measure(std::size_t begin, std::size_t end) const {
    double count = 0, sum[3] = {0, 0, 0}, squares = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const Item& item = items_[i];
        const double n = static_cast<double>(item.count);
        count += n;
        for (int axis = 0; axis < 3; ++axis) {
            sum[axis] += n * item.channel[axis];
            squares += n * item.channel[axis] * item.channel[axis];
        }
    }
    double error = squares;
    for (int axis = 0; axis < 3; ++axis)
        error -= sum[axis] * sum[axis] / count;
    return {begin, end, end - begin > 1 ? std::max(error, 0.0) : 0.0};
}

std::vector<PaletteColor> Quantizer::Palette(int limit, bool members) {
    items_.clear();
    if (binned_) {
        for (const Bin& bin : bins_)
            if (bin.count > 0) {
                const std::uint64_t half = bin.count / 2;
                items_.push_back({{static_cast<int>((bin.red + half) / bin.count),
                                   static_cast<int>((bin.green + half) / bin.count),
                                   static_cast<int>((bin.blue + half) / bin.count)},
                                  bin.count});
            }
    } else {
        for (const Entry& entry : entries_)
            items_.push_back({{static_cast<int>(entry.colour >> 16 & 0xFF),
                               static_cast<int>(entry.colour >> 8 & 0xFF),
                               static_cast<int>(entry.colour & 0xFF)},
                              entry.count});
    }
    std::vector<Box> boxes = {Measure(0, items_.size())};
    std::vector<double> prefix;
    while (static_cast<int>(boxes.size()) < limit) {
        Box* worst = &boxes.front();
        for (Box& box : boxes)
            if (box.error > worst->error) worst = &box;
        if (worst->error <= 0) break;
        const Box box = *worst;
        const auto begin = items_.begin() + static_cast<std::ptrdiff_t>(box.begin);
        const auto end = items_.begin() + static_cast<std::ptrdiff_t>(box.end);
        // The axis of the widest spread, and along it the cut that leaves the
        // least error on that axis.
        int axis = 0;
        double spread = -1;
        for (int a = 0; a < 3; ++a) {
            double count = 0, sum = 0, squares = 0;
            for (auto item = begin; item != end; ++item) {
                const double n = static_cast<double>(item->count);
                count += n;
                sum += n * item->channel[a];
                squares += n * item->channel[a] * item->channel[a];
            }
            if (squares - sum * sum / count > spread) {
                spread = squares - sum * sum / count;
                axis = a;
            }
        }
        std::sort(begin, end, [axis](const Item& x, const Item& y) {
            return x.channel[axis] < y.channel[axis];
        });
        double count = 0, sum = 0, squares = 0;
        for (auto item = begin; item != end; ++item) {
            const double n = static_cast<double>(item->count);
            count += n;
            sum += n * item->channel[axis];
            squares += n * item->channel[axis] * item->channel[axis];
        }
        double leftCount = 0, leftSum = 0, leftSquares = 0, best = -1;
        std::size_t cut = box.begin + 1;
        for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
            const Item& item = items_[i];
            const double n = static_cast<double>(item.count);
            leftCount += n;
            leftSum += n * item.channel[axis];
            leftSquares += n * item.channel[axis] * item.channel[axis];
            if (item.channel[axis] == items_[i + 1].channel[axis]) continue;
            const double rightCount = count - leftCount, rightSum = sum - leftSum;
            const double error = leftSquares - leftSum * leftSum / leftCount +
                                 (squares - leftSquares) - rightSum * rightSum / rightCount;
            if (best < 0 || error < best) {
                best = error;
                cut = i + 1;
            }
        }
        *worst = Measure(box.begin, cut);
        boxes.push_back(Measure(cut, box.end));
    }
    std::vector<PaletteColor> palette;
    for (const Box& box : boxes) {
        if (members) {
            const Item* most = &items_[box.begin];
            for (std::size_t i = box.begin; i < box.end; ++i)
                if (items_[i].count > most->count) most = &items_[i];
            palette.push_back({static_cast<std::uint8_t>(most->channel[0]),
                               static_cast<std::uint8_t>(most->channel[1]),
                               static_cast<std::uint8_t>(most->channel[2])});
            continue;
        }
        std::uint64_t count = 0, sum[3] = {0, 0, 0};
        for (std::size_t i = box.begin; i < box.end; ++i) {
            count += items_[i].count;
            for (int axis = 0; axis < 3; ++axis)
                sum[axis] += items_[i].count * static_cast<std::uint64_t>(items_[i].channel[axis]);
        }
        palette.push_back({static_cast<std::uint8_t>((sum[0] + count / 2) / count),
                           static_cast<std::uint8_t>((sum[1] + count / 2) / count),
                           static_cast<std::uint8_t>((sum[2] + count / 2) / count)});
    }
    return palette;
}

// The 8 x 8 Bayer matrix: thresholds 0 to 63 spread evenly over every block.
constexpr std::array<std::array<std::int8_t, 8>, 8> kBayer = [] {
    std::array<std::array<std::int8_t, 8>, 8> matrix{};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            int value = 0;
            for (int bit = 0; bit < 3; ++bit) {
                const int xBit = x >> bit & 1, yBit = y >> bit & 1;
                value |= ((xBit ^ yBit) << 1 | yBit) << (2 * (2 - bit));
            }
            matrix[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] =
                static_cast<std::int8_t>(value);
        }
    return matrix;
}();

int SquaredDistance(std::uint32_t a, const PaletteColor& b) {
    const int red = static_cast<int>(a >> 16 & 0xFF) - b.red;
    const int green = static_cast<int>(a >> 8 & 0xFF) - b.green;
    const int blue = static_cast<int>(a & 0xFF) - b.blue;
    return red * red + green * green + blue * blue;
}

// A colour this close to its nearest entry (squared, summed over the channels)
// takes that entry undithered: a pattern costs bytes, and on a screen such a
// colour is an edge's shade, not a gradient.
constexpr int kUndithered = 27;

// The ordered dither of one colour over the lookup's table: its nearest entry (low), the
// nearest entry on the other side of it (high), and the share of the pixels
// that take the high one, in 64ths, for the Bayer threshold.
std::uint32_t DitherSymbols(std::uint32_t colour, PaletteLookup& lookup) {
    const int red = static_cast<int>(colour >> 16 & 0xFF);
    const int green = static_cast<int>(colour >> 8 & 0xFF);
    const int blue = static_cast<int>(colour & 0xFF);
    PaletteColor low;
    const int lowIndex = lookup.Nearest(red, green, blue, low);
    if (SquaredDistance(colour, low) <= kUndithered)
        return static_cast<std::uint32_t>(lowIndex) * 0x101;
    PaletteColor high;
    const int highIndex = lookup.Nearest(std::clamp(2 * red - low.red, 0, 255),
                                         std::clamp(2 * green - low.green, 0, 255),
                                         std::clamp(2 * blue - low.blue, 0, 255), high);
    const int stepRed = high.red - low.red, stepGreen = high.green - low.green,
              stepBlue = high.blue - low.blue;
    const int step = stepRed * stepRed + stepGreen * stepGreen + stepBlue * stepBlue;
    if (highIndex == lowIndex || step == 0) return static_cast<std::uint32_t>(lowIndex) * 0x101;
    const int along =
        (red - low.red) * stepRed + (green - low.green) * stepGreen + (blue - low.blue) * stepBlue;
    const int level = std::clamp((64 * along + step / 2) / step, 0, 32);
    return static_cast<std::uint32_t>(lowIndex | highIndex << 8 | level << 16);
}

// A frame of many colours is written through the global table unless its own
// would make the squared error of its pixels smaller than this share of it.
constexpr double kGlobalErrorShare = 1.5;

// ---- The file

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive

    bool Empty() const { return right <= left || bottom <= top; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    std::size_t Area() const { return static_cast<std::size_t>(Width()) * Height(); }
    Rect Union(const Rect& other) const {
        if (Empty()) return other;
        if (other.Empty()) return *this;
        return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
                std::max(bottom, other.bottom)};
    }
};

// One image of the animation, encoded and waiting for its delay.
struct Image {
    Rect rect;
    std::vector<PaletteColor> palette;  // its own table (a power of two); empty: the global one
    int codeSize = 2;
    int transparent = NO_TRANSPARENT_COLOR;
    std::vector<std::uint8_t> codes;  // sub-blocks
    std::int64_t start = 0;           // milliseconds
};

int WriteToSink(GifFileType* gif, const GifByteType* data, int size) {
    auto* out = static_cast<BufferedWriter*>(gif->UserData);
    return out->TryPut(data, static_cast<std::size_t>(size)) ? size : 0;
}

struct MapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using ColourMap = std::unique_ptr<ColorMapObject, MapDeleter>;

// The giflib encoder over a buffered sink; giflib writes the structure, the
// image data comes encoded (EGifPutCode).
class GifStream {
  public:
    explicit GifStream(ByteSink& sink) : out_(sink) {
        int error = 0;
        gif_ = EGifOpen(&out_, WriteToSink, &error);
        if (!gif_) Raise(error);
    }
    GifStream(const GifStream&) = delete;
    GifStream& operator=(const GifStream&) = delete;
    ~GifStream() {
        if (gif_) EGifCloseFile(gif_, nullptr);
    }

    // The screen, its global table (none when empty) and the loop for ever.
    void PutHeader(int width, int height, const std::vector<PaletteColor>& global) {
        EGifSetGifVersion(gif_, true);
        const ColourMap map = global.empty() ? nullptr : MakeMap(global);
        Check(EGifPutScreenDesc(gif_, width, height, 8, 0, map.get()));
        // NETSCAPE2.0: sub-block 1, loop count 0 (for ever).
        static const GifByteType kName[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
        static const GifByteType kLoop[] = {1, 0, 0};
        Check(EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE));
        Check(EGifPutExtensionBlock(gif_, sizeof kName, kName));
        Check(EGifPutExtensionBlock(gif_, sizeof kLoop, kLoop));
        Check(EGifPutExtensionTrailer(gif_));
    }

    void PutImage(const Image& image, int delay) {
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSE_DO_NOT;  // the next image draws over this one
        control.UserInputFlag = false;
        control.DelayTime = delay;
        control.TransparentColor = image.transparent;
        GifByteType extension[4];
        const auto length = static_cast<int>(EGifGCBToExtension(&control, extension));
        Check(EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, length, extension));
        const Rect& r = image.rect;
        if (!image.palette.empty()) {
            const ColourMap map = MakeMap(image.palette);
            Check(EGifPutImageDesc(gif_, r.left, r.top, r.Width(), r.Height(), false, map.get()));
        } else {
            // giflib forgets (and leaks) the table of the image before.
            if (gif_->Image.ColorMap) {
                GifFreeMapObject(gif_->Image.ColorMap);
                gif_->Image.ColorMap = nullptr;
            }
            // giflib writes the LZW code size from the table's size; an image of
            // the global table takes the fewer bits its own indexes need.
            const int tableBits = gif_->SColorMap->BitsPerPixel;
            gif_->SColorMap->BitsPerPixel = image.codeSize;
            const int result =
                EGifPutImageDesc(gif_, r.left, r.top, r.Width(), r.Height(), false, nullptr);
            gif_->SColorMap->BitsPerPixel = tableBits;
            Check(result);
        }
        const std::uint8_t* block = image.codes.data();
        const std::uint8_t* end = block + image.codes.size();
        Check(EGifPutCode(gif_, image.codeSize, block));
        for (block += block[0] + 1; block < end; block += block[0] + 1)
            Check(EGifPutCodeNext(gif_, block));
        Check(EGifPutCodeNext(gif_, nullptr));
        // giflib does not check every write of a descriptor.
        out_.RethrowPending();
    }

    void Close() {
        int error = 0;
        const int result = EGifCloseFile(gif_, &error);
        gif_ = nullptr;
        if (result != GIF_OK) Raise(error);
        out_.RethrowPending();  // giflib does not check the write of the trailer
        out_.Finish();
    }

  private:
    static ColourMap MakeMap(const std::vector<PaletteColor>& colours) {
        std::vector<GifColorType> entries;
        for (const PaletteColor& colour : colours)
            entries.push_back({colour.red, colour.green, colour.blue});
        ColourMap map(GifMakeMapObject(static_cast<int>(entries.size()), entries.data()));
        if (!map) Fail("not enough memory.");
        return map;
    }
    void Check(int result) {
        if (result != GIF_OK) Raise(gif_->Error);
    }
    // A failing sink's own error wins over giflib's report of it.
    [[noreturn]] void Raise(int error) {
        out_.RethrowPending();
        const char* text = GifErrorString(error);
        Fail(std::string(text ? text : "giflib failed") + ".");
    }

    BufferedWriter out_;
    GifFileType* gif_ = nullptr;
};

// Which pixels of the rectangle a frame writes, against the last frame (`last`)
// and against what the animation shows (`shown`, which differs from the last
// frame only where a dithered frame left its approximation).
enum class Compare {
    kAll,            // the first frame: every pixel
    kLast,           // the pixels that changed; nothing dithered is left on screen
    kLastOverShown,  // the pixels that changed; what they replace may be dithered
    kLastOrShown,    // the pixels that changed or are shown dithered
};

}  // namespace

class GifAnimation::Encoder {
  public:
    Encoder(ByteSink& sink, int width, int height)
        : width_(width),
          height_(height),
          gif_(sink),
          current_(Pixels()),
          last_(Pixels()),
          shown_(Pixels()) {}

    void Add(const PixelView& frame, std::int64_t milliseconds);
    void Finish(std::int64_t milliseconds);

  private:
    std::size_t Pixels() const { return static_cast<std::size_t>(width_) * height_; }
    const std::uint32_t* Row(const std::vector<std::uint32_t>& pixels, int y, int x = 0) const {
        return pixels.data() + static_cast<std::size_t>(y) * width_ + x;
    }
    std::uint32_t* Row(std::vector<std::uint32_t>& pixels, int y, int x = 0) {
        return pixels.data() + static_cast<std::size_t>(y) * width_ + x;
    }

    void Load(const PixelView& frame);
    Rect Difference(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b,
                    Rect within) const;
    template <Compare mode>
    bool Classify(const Rect& rect);
    bool Classify(Compare mode, const Rect& rect);
    void EncodeExact(const Rect& rect, Compare mode);
    void EncodeLocal(Image& image);
    bool EncodeGlobal(Image& image);
    void EncodeDithered(const Rect& rect, bool everything);
    void Compress(Image& image);
    void MapSymbols(const std::array<std::uint8_t, 256>& changed,
                    const std::array<std::uint8_t, 256>& kept, int transparent);
    void Write(const Image& image, std::int64_t end);
    int Hundredths(std::int64_t milliseconds) const {
        return static_cast<int>((milliseconds - firstTime_ + 5) / 10);
    }

    const int width_, height_;
    GifStream gif_;
    // The frame in hand, the one before, and what the animation shows: 0x00RRGGBB.
    std::vector<std::uint32_t> current_, last_, shown_;
    Rect stale_;  // holds every pixel shown dithered
    bool started_ = false, headerWritten_ = false, finished_ = false;
    bool firstEncoded_ = false;  // the whole screen's first image is encoded
    std::int64_t firstTime_ = 0, lastTime_ = 0;
    int delayBehind_ = 0;  // hundredths written so far

    std::vector<PaletteColor> global_;  // the first frame's colours, and room after them
    int globalCount_ = 0;               // how many there are
    ColourTable globalIndex_;

    // The frame being encoded: its colours that changed (`colours_`), the
    // colours shown where it did not (`keptColours_`), and per pixel of its
    // rectangle, either the changed colour's index (kind 0) or the kept
    // colour's index + 1 (kind 1 to 254; 255: one past the 254 kept colours
    // told apart).
    ColourTable colours_, keptColours_;
    std::size_t keptPixels_ = 0;
    std::vector<std::uint8_t> index_, kind_;
    std::vector<std::uint8_t> first_, second_;  // the two symbols each pixel may take

    LzwEncoder lzw_;
    std::vector<std::uint8_t> spareCodes_;
    Image pending_, candidate_;  // the image held back, and another way to write the next
    Quantizer quantizer_;
};

void GifAnimation::Encoder::Load(const PixelView& frame) {
    if (frame.width != width_ || frame.height != height_ || !frame.data ||
        (frame.bytesPerPixel != 3 && frame.bytesPerPixel != 4))
        Fail("a frame of " + std::to_string(frame.width) + " x " + std::to_string(frame.height) +
             " pixels does not fit an animation of " + std::to_string(width_) + " x " +
             std::to_string(height_) + ".");
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t* source = frame.Row(y);
        std::uint32_t* target = Row(current_, y);
        if (frame.bytesPerPixel == 4) {
            for (int x = 0; x < width_; ++x) {
                std::uint32_t value;
                std::memcpy(&value, source + 4 * x, 4);
                target[x] = value & 0xFFFFFF;
            }
        } else {
            for (int x = 0; x < width_; ++x) {
                const std::uint8_t* pixel = source + 3 * x;
                target[x] = std::uint32_t{pixel[2]} << 16 | std::uint32_t{pixel[1]} << 8 | pixel[0];
            }
        }
    }
}

// The bounds of the pixels of `within` where `a` and `b` differ.
Rect GifAnimation::Encoder::Difference(const std::vector<std::uint32_t>& a,
                                       const std::vector<std::uint32_t>& b, Rect within) const {
    const std::size_t bytes = static_cast<std::size_t>(within.Width()) * 4;
    auto rowDiffers = [&](int y) {
        return std::memcmp(Row(a, y, within.left), Row(b, y, within.left), bytes) != 0;
    };
    int top = within.top;
    while (top < within.bottom && !rowDiffers(top))
        ++top;
    if (top == within.bottom) return {};
    int bottom = within.bottom;
    while (!rowDiffers(bottom - 1))
        --bottom;
    // Each row is searched only outside the columns already known to change.
    int left = within.right, right = within.left;
    for (int y = top; y < bottom; ++y) {
        const std::uint32_t* rowA = Row(a, y);
        const std::uint32_t* rowB = Row(b, y);
        int x = within.left;
        while (x < left && rowA[x] == rowB[x])
            ++x;
        if (x == within.right) continue;  // the row is the same
        left = std::min(left, x);
        int end = within.right;
        while (end > right && rowA[end - 1] == rowB[end - 1])
            --end;
        right = std::max(right, end);
    }
    return {left, top, right, bottom};
}

template <Compare mode>
bool GifAnimation::Encoder::Classify(const Rect& rect) {
    colours_.Clear();
    keptColours_.Clear();
    keptPixels_ = 0;
    index_.resize(rect.Area());
    kind_.resize(rect.Area());
    std::uint8_t* index = index_.data();
    std::uint8_t* kind = kind_.data();
    std::uint32_t runColour = kNoColour, keptColour = kNoColour;
    int runIndex = 0;
    std::uint8_t keptKind = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        const std::uint32_t* current = Row(current_, y, rect.left);
        const std::uint32_t* last = Row(last_, y, rect.left);
        const std::uint32_t* shown = Row(shown_, y, rect.left);
        for (int x = 0; x < rect.Width(); ++x) {
            const std::uint32_t colour = current[x];
            bool changed = true;
            if constexpr (mode == Compare::kLast || mode == Compare::kLastOverShown)
                changed = colour != last[x];
            else if constexpr (mode == Compare::kLastOrShown)
                changed = colour != last[x] || colour != shown[x];
            if (changed) {
                if (colour != runColour) {
                    runIndex = colours_.Add(colour);
                    if (runIndex < 0) return false;
                    runColour = colour;
                }
                ++colours_.Count(runIndex);
                *index++ = static_cast<std::uint8_t>(runIndex);
                *kind++ = 0;
            } else {
                const std::uint32_t seen = mode == Compare::kLastOverShown ? shown[x] : colour;
                if (seen != keptColour) {
                    keptColour = seen;
                    const int found = keptColours_.Size() < 254 ? keptColours_.Add(seen)
                                                                : keptColours_.Find(seen);
                    keptKind = static_cast<std::uint8_t>(found < 0 ? 255 : found + 1);
                }
                if (keptKind != 255) ++keptColours_.Count(keptKind - 1);
                ++keptPixels_;
                *index++ = 0;
                *kind++ = keptKind;
            }
        }
    }
    return true;
}

// False where the frame's changed colours do not fit an exact table: more than
// 256, or 256 and a transparent index.
bool GifAnimation::Encoder::Classify(Compare mode, const Rect& rect) {
    bool fits = false;
    switch (mode) {
        case Compare::kAll:
            fits = Classify<Compare::kAll>(rect);
            break;
        case Compare::kLast:
            fits = Classify<Compare::kLast>(rect);
            break;
        case Compare::kLastOverShown:
            fits = Classify<Compare::kLastOverShown>(rect);
            break;
        case Compare::kLastOrShown:
            fits = Classify<Compare::kLastOrShown>(rect);
            break;
    }
    return fits && (colours_.Size() < 256 || keptPixels_ == 0);
}

// The LZW codes of the symbols in first_ and second_: with the full table kept,
// and where it filled, also with it cleared when worn, and for the first image
// (the whole screen, written once) also with it cleared at once; the smallest wins.
void GifAnimation::Encoder::Compress(Image& image) {
    image.codes.clear();
    if (!lzw_.Encode(first_.data(), second_.data(), first_.size(), image.codeSize,
                     LzwEncoder::FullTable::kKeep, image.codes))
        return;
    spareCodes_.clear();
    lzw_.Encode(first_.data(), second_.data(), first_.size(), image.codeSize,
                LzwEncoder::FullTable::kClearWhenWorn, spareCodes_);
    if (spareCodes_.size() < image.codes.size()) std::swap(image.codes, spareCodes_);
    if (started_ && !firstEncoded_) {
        spareCodes_.clear();
        lzw_.Encode(first_.data(), second_.data(), first_.size(), image.codeSize,
                    LzwEncoder::FullTable::kClear, spareCodes_);
        if (spareCodes_.size() < image.codes.size()) std::swap(image.codes, spareCodes_);
    }
}

// The two symbols of each pixel: a changed pixel its colour's, a kept one its
// colour's where the palette has it (else the transparent index), then the
// transparent index. The colour comes first: kept pixels written in their own
// colours leave the screen's patterns whole, which the LZW strings follow.
void GifAnimation::Encoder::MapSymbols(const std::array<std::uint8_t, 256>& changed,
                                       const std::array<std::uint8_t, 256>& kept, int transparent) {
    const std::size_t count = index_.size();
    first_.resize(count);
    second_.resize(count);
    const auto clear = static_cast<std::uint8_t>(transparent);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t kind = kind_[i];
        const std::uint8_t symbol = changed[index_[i]];
        first_[i] = kind == 0 ? symbol : kept[kind];
        second_[i] = kind == 0 ? symbol : clear;
    }
}

// The frame's own table: its changed colours, the transparent index after them,
// and in the places left up to the next power of two, the colours most kept.
void GifAnimation::Encoder::EncodeLocal(Image& image) {
    const int colours = colours_.Size();
    const bool transparent = keptPixels_ > 0;
    image.codeSize = CodeSizeFor(colours + (transparent ? 1 : 0) - 1);
    const int size = 1 << image.codeSize;
    image.palette.assign(static_cast<std::size_t>(size), PaletteColor{});
    std::array<std::uint8_t, 256> changed{}, kept{};
    for (int i = 0; i < colours; ++i) {
        image.palette[static_cast<std::size_t>(i)] = ToPaletteColor(colours_.Colour(i));
        changed[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    }
    image.transparent = transparent ? colours : NO_TRANSPARENT_COLOR;
    if (transparent) {
        kept.fill(static_cast<std::uint8_t>(colours));
        std::vector<int> order;
        for (int k = 0; k < keptColours_.Size(); ++k) {
            const int found = colours_.Find(keptColours_.Colour(k));
            if (found >= 0)
                kept[static_cast<std::size_t>(k + 1)] = static_cast<std::uint8_t>(found);
            else
                order.push_back(k);
        }
        std::sort(order.begin(), order.end(),
                  [&](int x, int y) { return keptColours_.Count(x) > keptColours_.Count(y); });
        int place = colours + 1;
        for (int k : order) {
            if (place == size) break;
            image.palette[static_cast<std::size_t>(place)] = ToPaletteColor(keptColours_.Colour(k));
            kept[static_cast<std::size_t>(k + 1)] = static_cast<std::uint8_t>(place++);
        }
    }
    MapSymbols(changed, kept, transparent ? colours : 0);
    Compress(image);
}

// The frame through the global table, where that holds its changed colours and
// a spare index to be transparent; false where it does not.
bool GifAnimation::Encoder::EncodeGlobal(Image& image) {
    if (global_.empty()) return false;
    std::array<std::uint8_t, 256> changed{}, kept{};
    std::array<bool, 256> used{};
    int highest = 0;
    for (int i = 0; i < colours_.Size(); ++i) {
        const int index = globalIndex_.Find(colours_.Colour(i));
        if (index < 0) return false;
        changed[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(index);
        used[static_cast<std::size_t>(index)] = true;
        highest = std::max(highest, index);
    }
    int transparent = NO_TRANSPARENT_COLOR;
    if (keptPixels_ > 0) {
        transparent = 0;
        while (transparent < static_cast<int>(global_.size()) &&
               used[static_cast<std::size_t>(transparent)])
            ++transparent;
        if (transparent == static_cast<int>(global_.size())) return false;
        highest = std::max(highest, transparent);
    }
    image.codeSize = CodeSizeFor(highest);
    image.palette.clear();
    image.transparent = transparent;
    if (transparent != NO_TRANSPARENT_COLOR) {
        kept.fill(static_cast<std::uint8_t>(transparent));
        for (int k = 0; k < keptColours_.Size(); ++k) {
            const int index = globalIndex_.Find(keptColours_.Colour(k));
            if (index >= 0 && index < (1 << image.codeSize))
                kept[static_cast<std::size_t>(k + 1)] = static_cast<std::uint8_t>(index);
        }
    }
    MapSymbols(changed, kept, transparent == NO_TRANSPARENT_COLOR ? 0 : transparent);
    Compress(image);
    return true;
}

void GifAnimation::Encoder::EncodeExact(const Rect& rect, Compare mode) {
    pending_.rect = rect;
    if (mode == Compare::kAll) {
        // The first frame's colours, the most common first, make the global
        // table, with room for a transparent index after them.
        std::vector<int> order(static_cast<std::size_t>(colours_.Size()));
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<int>(i);
        std::stable_sort(order.begin(), order.end(),
                         [&](int x, int y) { return colours_.Count(x) > colours_.Count(y); });
        if (colours_.Size() < 256) {
            global_.assign(static_cast<std::size_t>(1) << CodeSizeFor(colours_.Size()),
                           PaletteColor{});
            for (std::size_t i = 0; i < order.size(); ++i) {
                global_[i] = ToPaletteColor(colours_.Colour(order[i]));
                globalIndex_.Add(colours_.Colour(order[i]));
            }
            globalCount_ = colours_.Size();
        }
    }
    const bool local = !EncodeGlobal(pending_);
    if (!local) {
        // Where the frame's own table needs fewer bits a code, the smaller file wins.
        const int localBits = CodeSizeFor(colours_.Size() + (keptPixels_ > 0 ? 1 : 0) - 1);
        if (localBits < pending_.codeSize) {
            candidate_.rect = rect;
            EncodeLocal(candidate_);
            if (candidate_.codes.size() + 3 * candidate_.palette.size() < pending_.codes.size())
                std::swap(pending_, candidate_);
        }
    } else {
        EncodeLocal(pending_);
    }
    // Every pixel written now shows the frame's own colour.
    if (mode == Compare::kLastOverShown) {
        for (int y = rect.top; y < rect.bottom; ++y) {
            const std::uint32_t* current = Row(current_, y, rect.left);
            const std::uint32_t* last = Row(last_, y, rect.left);
            std::uint32_t* shown = Row(shown_, y, rect.left);
            for (int x = 0; x < rect.Width(); ++x)
                if (current[x] != last[x]) shown[x] = current[x];
        }
    } else {
        for (int y = rect.top; y < rect.bottom; ++y)
            std::memcpy(Row(shown_, y, rect.left), Row(current_, y, rect.left),
                        static_cast<std::size_t>(rect.Width()) * 4);
    }
}

// More than 256 colours changed: a table of 255 made for them (or the global
// table, where it serves them about as well and saves the frame its own), and an
// ordered dither by screen position, so that a pixel of one colour takes the
// same index wherever it is written with the same table. Pixels that did not
// change stay transparent and keep what they show.
void GifAnimation::Encoder::EncodeDithered(const Rect& rect, bool everything) {
    quantizer_.Clear();
    std::uint32_t run = kNoColour, length = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        const std::uint32_t* current = Row(current_, y, rect.left);
        const std::uint32_t* last = Row(last_, y, rect.left);
        for (int x = 0; x < rect.Width(); ++x) {
            if (!everything && current[x] == last[x]) continue;
            if (current[x] == run) {
                ++length;
                continue;
            }
            if (length > 0) quantizer_.Add(run, length);
            run = current[x];
            length = 1;
        }
    }
    quantizer_.Add(run, length);
    std::vector<PaletteColor> local = quantizer_.Palette(255, global_.empty());
    bool global = false;
    if (global_.empty()) {
        // The first frame's table becomes the global one, with a spare index.
        globalCount_ = static_cast<int>(local.size());
        global_ = local;
        global_.resize(static_cast<std::size_t>(1) << CodeSizeFor(globalCount_));
        for (const PaletteColor& colour : local)
            globalIndex_.Add(FromPaletteColor(colour));
        global = true;
    } else if (quantizer_.Exact()) {
        const std::vector<PaletteColor> globalColours(global_.begin(),
                                                      global_.begin() + globalCount_);
        PaletteLookup localLookup(local), globalLookup(globalColours);
        double localError = 0, globalError = 0;
        for (const Quantizer::Entry& entry : quantizer_.Entries()) {
            const int red = static_cast<int>(entry.colour >> 16 & 0xFF);
            const int green = static_cast<int>(entry.colour >> 8 & 0xFF);
            const int blue = static_cast<int>(entry.colour & 0xFF);
            PaletteColor near;
            localLookup.Nearest(red, green, blue, near);
            localError += entry.count * static_cast<double>(SquaredDistance(entry.colour, near));
            globalLookup.Nearest(red, green, blue, near);
            globalError += entry.count * static_cast<double>(SquaredDistance(entry.colour, near));
        }
        global = globalError <= kGlobalErrorShare * localError;
    }
    const std::vector<PaletteColor> colours =
        global ? std::vector<PaletteColor>(global_.begin(), global_.begin() + globalCount_) : local;
    PaletteLookup lookup(colours);
    if (quantizer_.Exact())
        for (Quantizer::Entry& entry : quantizer_.Entries())
            entry.symbols = DitherSymbols(entry.colour, lookup);

    const int transparent = static_cast<int>(colours.size());
    // A kept pixel whose colour the table has exactly may be written in it.
    ColourTable exact;
    for (const PaletteColor& colour : colours)
        exact.Add(FromPaletteColor(colour));
    first_.resize(rect.Area());
    second_.resize(rect.Area());
    std::uint8_t* symbol = first_.data();
    std::uint8_t* other = second_.data();
    bool anyKept = false;
    run = kNoColour;
    std::uint32_t symbols = 0, keptRun = kNoColour;
    std::uint8_t keptSymbol = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        const std::uint32_t* current = Row(current_, y, rect.left);
        const std::uint32_t* last = Row(last_, y, rect.left);
        std::uint32_t* shown = Row(shown_, y, rect.left);
        const auto& thresholds = kBayer[static_cast<std::size_t>(y & 7)];
        for (int x = 0; x < rect.Width(); ++x) {
            const std::uint32_t colour = current[x];
            if (!everything && colour == last[x]) {
                if (shown[x] != keptRun) {
                    keptRun = shown[x];
                    const int found = exact.Find(keptRun);
                    keptSymbol = static_cast<std::uint8_t>(found < 0 ? transparent : found);
                }
                *symbol++ = keptSymbol;
                *other++ = static_cast<std::uint8_t>(transparent);
                anyKept = true;
                continue;
            }
            if (colour != run) {
                run = colour;
                symbols = quantizer_.Exact() ? quantizer_.Find(colour).symbols
                                             : DitherSymbols(colour, lookup);
            }
            const bool high =
                static_cast<std::uint32_t>(
                    thresholds[static_cast<std::size_t>((rect.left + x) & 7)]) < (symbols >> 16);
            const std::uint32_t index = high ? symbols >> 8 & 0xFF : symbols & 0xFF;
            *symbol++ = static_cast<std::uint8_t>(index);
            *other++ = static_cast<std::uint8_t>(index);
            shown[x] = FromPaletteColor(colours[index]);
        }
    }
    pending_.rect = rect;
    pending_.transparent = anyKept ? transparent : NO_TRANSPARENT_COLOR;
    pending_.codeSize = CodeSizeFor(anyKept ? transparent : transparent - 1);
    if (global) {
        pending_.palette.clear();
    } else {
        pending_.palette = local;
        pending_.palette.resize(static_cast<std::size_t>(1) << pending_.codeSize);
    }
    Compress(pending_);
    stale_ = stale_.Union(rect);
}

void GifAnimation::Encoder::Add(const PixelView& frame, std::int64_t milliseconds) {
    if (finished_) Fail("the recording is finished.");
    Load(frame);
    const Rect whole{0, 0, width_, height_};
    if (!started_) {
        started_ = true;
        firstTime_ = lastTime_ = milliseconds;
        if (Classify(Compare::kAll, whole))
            EncodeExact(whole, Compare::kAll);
        else
            EncodeDithered(whole, true);
        firstEncoded_ = true;
        pending_.start = milliseconds;
        std::swap(current_, last_);
        return;
    }
    milliseconds = std::max(milliseconds, lastTime_);
    lastTime_ = milliseconds;

    const Rect moved = Difference(current_, last_, whole);
    // Pixels still shown dithered are written again, exactly, when the frame's
    // colours allow.
    const Rect fixable = stale_.Empty() ? Rect{} : Difference(current_, shown_, stale_);
    Rect rect = moved;
    Compare mode = stale_.Empty() ? Compare::kLast : Compare::kLastOverShown;
    bool exact = true;
    if (!fixable.Empty() && Classify(Compare::kLastOrShown, moved.Union(fixable))) {
        rect = moved.Union(fixable);
        mode = Compare::kLastOrShown;
    } else if (moved.Empty()) {
        return;  // the same frame: the one held back lasts longer
    } else {
        exact = Classify(mode, rect);
    }
    Write(pending_, milliseconds);
    if (exact) {
        EncodeExact(rect, mode);
        if (mode == Compare::kLastOrShown) stale_ = {};
    } else {
        EncodeDithered(rect, false);
    }
    pending_.start = milliseconds;
    std::swap(current_, last_);
}

// Writes the image held back, shown until `end`.
void GifAnimation::Encoder::Write(const Image& image, std::int64_t end) {
    if (!headerWritten_) {
        gif_.PutHeader(width_, height_, global_);
        headerWritten_ = true;
    }
    // Each image ends at its end time rounded, so that the delays add up to the
    // whole time rounded once.
    int delay = Hundredths(end) - delayBehind_;
    delayBehind_ += delay;
    gif_.PutImage(image, std::min(delay, kMaxDelay));
    delay -= std::min(delay, kMaxDelay);
    // A longer time goes on in images of one transparent pixel.
    while (delay > 0) {
        Image blank;
        blank.rect = {0, 0, 1, 1};
        blank.palette.assign(4, PaletteColor{});
        blank.transparent = 0;
        const std::uint8_t pixel = 0;
        lzw_.Encode(&pixel, &pixel, 1, blank.codeSize, LzwEncoder::FullTable::kKeep, blank.codes);
        gif_.PutImage(blank, std::min(delay, kMaxDelay));
        delay -= std::min(delay, kMaxDelay);
    }
}

void GifAnimation::Encoder::Finish(std::int64_t milliseconds) {
    if (!started_) Fail("it holds no frame.");
    if (finished_) Fail("the recording is finished.");
    finished_ = true;
    Write(pending_, std::max(milliseconds, lastTime_));
    gif_.Close();
}

GifAnimation::GifAnimation(ByteSink& sink, int width, int height) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
        Fail("a recording of " + std::to_string(width) + " x " + std::to_string(height) +
             " pixels; a GIF file holds 1 to " + std::to_string(kMaxSide) +
             " pixels in width and height.");
    encoder_ = std::make_unique<Encoder>(sink, width, height);
}

GifAnimation::~GifAnimation() = default;

void GifAnimation::Add(const PixelView& frame, std::int64_t milliseconds) {
    encoder_->Add(frame, milliseconds);
}

void GifAnimation::Finish(std::int64_t milliseconds) {
    encoder_->Finish(milliseconds);
}

}  // namespace glimra
