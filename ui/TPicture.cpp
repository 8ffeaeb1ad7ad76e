#include "ui/TPicture.h"

#include <cstdint>

#include "ui/PictureLoader.h"

namespace ui {

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::LoadFromResource(const std::string& name) {
    LoadFromBytes(PictureResource(name));
}

void TPicture::LoadFromBytes(std::span<const std::uint8_t> bytes) {
    TBitmap decoded;
    const bool alpha = DecodePicture(bytes, decoded);
    bitmap_.Assign(decoded);
    bitmap_.SetAlpha(alpha);
    Changed();
}

void TPicture::Assign(TBitmap& source) {
    bitmap_.Assign(source);
    Changed();
}

void TPicture::Take(TBitmap& source) {
    bitmap_.Take(source);
    Changed();
}

void TPicture::AssignDisabled(TPicture& source) {
    TBitmap grey;
    grey.SetPixelFormat(TPixelFormat::pf32bit);
    grey.SetSize(source.Width(), source.Height());
    TBitmap& from = source.Bitmap();
    const bool fromAlpha = source.HasAlpha() && from.BitsPerPixel() == 32;
    const int step = from.BitsPerPixel() / 8;
    for (int y = 0; y < grey.Height(); ++y) {
        const std::uint8_t* s = from.ScanLine(y);
        std::uint8_t* d = grey.ScanLine(y);
        for (int x = 0; x < grey.Width(); ++x, s += step, d += 4) {
            // The light of the pixel, lifted halfway towards white.
            const int light = (s[0] * 29 + s[1] * 150 + s[2] * 77) >> 8;
            const auto value = static_cast<std::uint8_t>(128 + light / 2);
            d[0] = d[1] = d[2] = value;
            d[3] = fromAlpha ? s[3] : 255;
        }
    }
    grey.SetAlpha(fromAlpha);
    bitmap_.Assign(grey);
    Changed();
}

void TPicture::Clear() {
    bitmap_.SetSize(0, 0);
    Changed();
}

void TPicture::Changed() {
    premultiplied_.reset();
    if (OnChange) OnChange();
}

TBitmap& TPicture::Premultiplied() {
    if (!premultiplied_) {
        auto copy = std::make_unique<TBitmap>();
        copy->Assign(bitmap_);
        for (int y = 0; y < copy->Height(); ++y) {
            std::uint8_t* p = copy->ScanLine(y);
            for (int x = 0; x < copy->Width(); ++x, p += 4)
                for (int c = 0; c < 3; ++c)
                    p[c] = static_cast<std::uint8_t>((p[c] * p[3] + 127) / 255);
        }
        premultiplied_ = std::move(copy);
    }
    return *premultiplied_;
}

void TPicture::Draw(HDC dc, const RECT& target, const RECT& source, bool blend) {
    if (Empty()) return;
    const int tw = target.right - target.left, th = target.bottom - target.top;
    const int sw = source.right - source.left, sh = source.bottom - source.top;
    if (tw <= 0 || th <= 0 || sw <= 0 || sh <= 0) return;
    if (HasAlpha() && blend) {
        const BLENDFUNCTION function{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ::AlphaBlend(dc, target.left, target.top, tw, th, Premultiplied().Canvas().Handle(),
                     source.left, source.top, sw, sh, function);
        return;
    }
    HDC from = bitmap_.Canvas().Handle();
    if (tw == sw && th == sh) {
        ::BitBlt(dc, target.left, target.top, tw, th, from, source.left, source.top, SRCCOPY);
        return;
    }
    const int oldMode = ::SetStretchBltMode(dc, HALFTONE);
    POINT oldOrigin;
    ::SetBrushOrgEx(dc, 0, 0, &oldOrigin);
    ::StretchBlt(dc, target.left, target.top, tw, th, from, source.left, source.top, sw, sh,
                 SRCCOPY);
    ::SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    ::SetStretchBltMode(dc, oldMode);
}

}  // namespace ui
