#include "imaging/rotation.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <optional>

#include "imaging/extended_precision.h"
#include "imaging/orientation.h"

namespace glimra {

namespace {

constexpr long double kHalfPi = 1.57079632679489661923132169163975144L;
constexpr long double kPi = 2 * kHalfPi;
constexpr long double kThreeHalfPi = 3 * kHalfPi;
constexpr long double kTwoPi = 4 * kHalfPi;

// An angle this close to a multiple of a quarter turn is that quarter turn: pi / 2 held
// as a double is 6e-17 off, and 1e-12 rad moves no pixel of a picture that int can
// describe by more than a five-hundredth of a pixel.
constexpr long double kQuarterTurnTolerance = 1e-12L;

// The angle brought into [0, 2 pi).
long double Normalised(long double angle) {
    long double turned = std::fmod(angle, kTwoPi);
    if (turned < 0) turned += kTwoPi;
    return turned;
}

// 0 to 3 quarter turns when the normalised angle is one of them.
std::optional<int> QuarterTurns(long double angle) {
    const long double quarters = RoundHalfEven(angle / kHalfPi);
    if (std::fabs(angle - quarters * kHalfPi) > kQuarterTurnTolerance) return std::nullopt;
    return static_cast<int>(quarters) % 4;
}

Orientation QuarterTurnOrientation(int quarters) {
    switch (quarters) {
        case 1:
            return {.transpose = true, .mirrorRows = true};
        case 2:
            return {.mirrorRows = true, .mirrorPixels = true};
        case 3:
            return {.transpose = true, .mirrorPixels = true};
        default:
            return {};
    }
}

// The turn of points about the centre by an angle that is no quarter turn: RX and RY
// are a point's rotated offsets from the centre, rounded to integers halves to even.
// A, B, C and D are the picture corners that end up topmost, bottommost, leftmost and
// rightmost, so they span the target.
class Turn {
  public:
    Turn(int width, int height, Point centre, long double angle)
        : centre_(centre), sin_(std::sin(angle)), cos_(std::cos(angle)) {
        const Point topLeft{0, 0}, topRight{width, 0}, bottomLeft{0, height},
            bottomRight{width, height};
        if (angle <= kHalfPi) {
            a_ = topLeft, b_ = bottomRight, c_ = bottomLeft, d_ = topRight;
        } else if (angle <= kPi) {
            a_ = bottomLeft, b_ = topRight, c_ = bottomRight, d_ = topLeft;
        } else if (angle <= kThreeHalfPi) {
            a_ = bottomRight, b_ = topLeft, c_ = topRight, d_ = bottomLeft;
        } else {
            a_ = topRight, b_ = bottomLeft, c_ = topLeft, d_ = bottomRight;
        }
        // The second copy of each pixel goes below it while the picture's rows slope
        // downwards to the right, and beside it otherwise.
        secondBelow_ = angle < kHalfPi || (kPi < angle && angle < kThreeHalfPi);
    }

    long long RX(long long x, long long y) const {
        return Rounded(static_cast<long double>(x - centre_.x) * cos_ -
                       static_cast<long double>(y - centre_.y) * sin_);
    }
    long long RY(long long x, long long y) const {
        return Rounded(static_cast<long double>(x - centre_.x) * sin_ +
                       static_cast<long double>(y - centre_.y) * cos_);
    }

    long long Width() const { return RX(d_.x, d_.y) - Left(); }
    long long Height() const { return RY(b_.x, b_.y) - Top(); }
    long long Left() const { return RX(c_.x, c_.y); }
    long long Top() const { return RY(a_.x, a_.y); }
    bool SecondBelow() const { return secondBelow_; }

  private:
    static long long Rounded(long double value) {
        return static_cast<long long>(RoundHalfEven(value));
    }

    Point centre_;
    long double sin_;
    long double cos_;
    Point a_, b_, c_, d_;
    bool secondBelow_;
};

Size GeneralSize(int width, int height, Point centre, long double angle) {
    const Turn turn(width, height, centre, angle);
    const long long w = turn.Width(), h = turn.Height();
    if (w <= 0 || h <= 0 || w > INT_MAX || h > INT_MAX) return {};
    return {static_cast<int>(w), static_cast<int>(h)};
}

void Fill(const PixelView& target, Colour colour) {
    const std::uint8_t pixel[4] = {colour.blue, colour.green, colour.red, 0};
    for (int y = 0; y < target.height; ++y) {
        std::uint8_t* row = target.Row(y);
        for (int x = 0; x < target.width; ++x)
            std::memcpy(row + x * target.bytesPerPixel, pixel, target.bytesPerPixel);
    }
}

void TurnPixels(const PixelView& source, Point centre, long double angle, const PixelView& target) {
    const Turn turn(source.width, source.height, centre, angle);
    const long long left = turn.Left(), top = turn.Top();
    const int bytes = source.bytesPerPixel;
    const auto put = [&](long long x, long long y, const std::uint8_t* pixel) {
        if (0 <= x && x < target.width && 0 <= y && y < target.height)
            std::memcpy(target.Row(static_cast<int>(y)) + x * bytes, pixel, bytes);
    };
    for (int y = 0; y < source.height; ++y) {
        const std::uint8_t* row = source.Row(y);
        for (int x = 0; x < source.width; ++x) {
            const long long px = turn.RX(x, y) - left, py = turn.RY(x, y) - top;
            put(px, py, row + x * bytes);
            if (turn.SecondBelow())
                put(px, py + 1, row + x * bytes);
            else
                put(px + 1, py, row + x * bytes);
        }
    }
}

}  // namespace

Size RotatedSize(int width, int height, Point centre, long double angle) {
    if (width <= 0 || height <= 0 || !std::isfinite(angle)) return {};
    const ExtendedPrecision extended;
    const long double turned = Normalised(angle);
    if (const auto quarters = QuarterTurns(turned))
        return *quarters % 2 == 1 ? Size{height, width} : Size{width, height};
    return GeneralSize(width, height, centre, turned);
}

bool Rotate(const PixelView& source, Point centre, Colour background, long double angle,
            const PixelView& target) {
    if (source.Empty() || source.data == nullptr || target.data == nullptr ||
        source.bytesPerPixel != target.bytesPerPixel ||
        (source.bytesPerPixel != 3 && source.bytesPerPixel != 4))
        return false;
    const Size size = RotatedSize(source.width, source.height, centre, angle);
    if (size.width == 0 || size != Size{target.width, target.height}) return false;
    const ExtendedPrecision extended;
    const long double turned = Normalised(angle);
    if (const auto quarters = QuarterTurns(turned))
        return CopyOriented(source, QuarterTurnOrientation(*quarters), target);
    Fill(target, background);
    TurnPixels(source, centre, turned, target);
    return true;
}

}  // namespace glimra
