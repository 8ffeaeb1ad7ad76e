// The picture effects of the Edit menu: a border, a drop shadow, a torn edge and
// rounded corners. Each makes a new 32-bit picture with straight alpha (blue,
// green, red, alpha; colour not multiplied by alpha) from a source of 24 or 32
// bits per pixel, at the size its Size function gives. A source "with alpha"
// has straight alpha in its fourth byte; any other source counts as opaque, what
// its fourth byte holds (a screen grab leaves 0 there). A picture with alpha
// goes to a file type or clipboard format without it through BlendOver.
#pragma once

#include <cstdint>

#include "imaging/pixel_view.h"

namespace glimra {

// A colour as Windows' COLORREF holds it: 0x00BBGGRR.
using ColourRef = std::uint32_t;

struct EffectSize {
    int width = 0, height = 0;
};

// Border: `width` pixels of `colour` on every side; the picture grows by 2 *
// width both ways. Refuses a width below 1 or above kMaxEffectReach.
constexpr int kMaxEffectReach = 200;
EffectSize BorderSize(int width, int height, int border);
bool AddBorder(const PixelView& source, bool sourceAlpha, int border, ColourRef colour,
               const PixelView& target);

// Drop shadow: the picture's shape in black, moved by (offsetX, offsetY),
// blurred by a box of `softness` pixels each way (its alpha falls linearly over
// 2 * softness + 1 pixels across the shape's edge) and at `opacity` (0 to 100) percent,
// under the picture. The picture grows to hold the shadow; it stands at
// ShadowPlace in the target. Offsets and softness within +-kMaxEffectReach.
struct ShadowSettings {
    int offsetX = 8, offsetY = 8;
    int softness = 6;
    int opacity = 50;
};
EffectSize ShadowSize(int width, int height, const ShadowSettings& shadow);
// Where the source's top-left pixel stands in the shadowed picture.
EffectSize ShadowPlace(const ShadowSettings& shadow);
bool AddShadow(const PixelView& source, bool sourceAlpha, const ShadowSettings& shadow,
               const PixelView& target);

// Torn edge: on each side named in `sides`, a jagged line between 1 and `depth`
// pixels in from the edge (depth 2 to kMaxEffectReach); what lies outside it becomes
// transparent, its own pixels partly so. The line is the same for the same size
// and depth, so that the effect repeats exactly. The size stays.
enum TornSides : unsigned { kTornTop = 1, kTornRight = 2, kTornBottom = 4, kTornLeft = 8 };
bool TearEdges(const PixelView& source, bool sourceAlpha, unsigned sides, int depth,
               const PixelView& target);

// Rounded corners: each corner cut to a quarter circle of `radius` (1 to
// kMaxEffectReach); a pixel's alpha is the part of it inside the circle. The size stays.
bool RoundCorners(const PixelView& source, bool sourceAlpha, int radius, const PixelView& target);

// The 32-bit picture with straight alpha laid over `background` into `target`
// (24 or 32 bits per pixel, the same size; a 32-bit target gets 255 in its fourth
// byte): each channel background + (colour - background) * alpha / 255, rounded.
// `target` may be `picture` itself.
bool BlendOver(const PixelView& picture, ColourRef background, const PixelView& target);

}  // namespace glimra
