#include "ui/TPanel.h"

#include <algorithm>

#include "win/handles.h"

namespace ui {

void DrawBevel(HDC dc, RECT& r, TBevelCut cut, int width) {
    if (cut == TBevelCut::bvNone) return;
    if (cut != TBevelCut::bvSpace) {
        const bool raised = cut == TBevelCut::bvRaised;
        win::Brush light(::CreateSolidBrush(::GetSysColor(COLOR_BTNHIGHLIGHT)));
        win::Brush dark(::CreateSolidBrush(::GetSysColor(COLOR_BTNSHADOW)));
        HBRUSH topLeft = raised ? light.Get() : dark.Get();
        HBRUSH bottomRight = raised ? dark.Get() : light.Get();
        for (int i = 0; i < width; ++i) {
            const RECT top{r.left + i, r.top + i, r.right - i, r.top + i + 1};
            const RECT left{r.left + i, r.top + i, r.left + i + 1, r.bottom - i};
            const RECT bottom{r.left + i, r.bottom - i - 1, r.right - i, r.bottom - i};
            const RECT right{r.right - i - 1, r.top + i, r.right - i, r.bottom - i};
            ::FillRect(dc, &bottom, bottomRight);
            ::FillRect(dc, &right, bottomRight);
            ::FillRect(dc, &top, topLeft);
            ::FillRect(dc, &left, topLeft);
        }
    }
    ::InflateRect(&r, -width, -width);
}

TPanel::TPanel(TComponent* owner) : TWinControl(owner) {
    width_ = 185;
    height_ = 41;
}

void TPanel::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    // The dialog keys walk into the panel's own children.
    params.exStyle |= WS_EX_CONTROLPARENT;
}

int TPanel::FrameWidth() const {
    int width = borderWidth_;
    if (bevelOuter_ != TBevelCut::bvNone) width += bevelWidth_;
    if (bevelInner_ != TBevelCut::bvNone) width += bevelWidth_;
    return width;
}

void TPanel::AdjustClientRect(RECT& r) const {
    const int frame = FrameWidth();
    ::InflateRect(&r, -frame, -frame);
}

void TPanel::FrameChanged() {
    Realign();
    Invalidate();
}

void TPanel::SetBevelOuter(TBevelCut cut) {
    bevelOuter_ = cut;
    FrameChanged();
}

void TPanel::SetBevelInner(TBevelCut cut) {
    bevelInner_ = cut;
    FrameChanged();
}

void TPanel::SetBevelWidth(int width) {
    bevelWidth_ = std::max(1, width);
    FrameChanged();
}

void TPanel::SetBorderWidth(int width) {
    borderWidth_ = std::max(0, width);
    FrameChanged();
}

void TPanel::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    Realign();
}

void TPanel::SetParentBackground(bool parentBackground) {
    parentBackground_ = parentBackground;
    Invalidate();
}

void TPanel::SetColor(TColor colour) {
    parentBackground_ = false;
    TWinControl::SetColor(colour);
}

void TPanel::Realign() {
    TWinControl::Realign();
    // Not before the window exists: until then the layout is still being read.
    if (!autoSize_ || sizing_ || !HandleAllocated()) return;
    int right = 0, bottom = 0;
    bool any = false;
    for (TControl* c : Controls()) {
        if (!c->Visible()) continue;
        any = true;
        right = std::max(right, c->Left() + c->Width());
        bottom = std::max(bottom, c->Top() + c->Height());
    }
    if (!any) return;
    const int frame = FrameWidth();
    sizing_ = true;
    SetBounds(left_, top_, right + frame + Padding().right, bottom + frame + Padding().bottom);
    sizing_ = false;
}

void TPanel::PaintWindow(HDC dc) {
    RECT r = ClientRect();
    DrawBevel(dc, r, bevelOuter_, bevelWidth_);
    ::InflateRect(&r, -borderWidth_, -borderWidth_);
    DrawBevel(dc, r, bevelInner_, bevelWidth_);
    if (Caption().empty()) return;
    win::Selection font(dc, FontHandle());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ColorToRGB(Font().colour));
    ::DrawTextA(dc, Caption().c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

LRESULT TPanel::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND && parentBackground_ && Parent()) {
        RECT r = ClientRect();
        win::Brush brush(::CreateSolidBrush(ColorToRGB(Parent()->Color())));
        ::FillRect(reinterpret_cast<HDC>(wParam), &r, brush.Get());
        return 1;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

const PropertyRegistry& TPanel::ClassProperties() {
    static const PropertyRegistry registry = [] {
        PropertyRegistry r("TPanel", &TWinControl::ClassProperties());
        const std::vector<std::pair<std::string, int>> cuts = {
            {"bvNone", 0}, {"bvLowered", 1}, {"bvRaised", 2}, {"bvSpace", 3}};
        Registrar<TPanel>(r)
            .Enum("BevelOuter", cuts, &TPanel::BevelOuter, &TPanel::SetBevelOuter)
            .Enum("BevelInner", cuts, &TPanel::BevelInner, &TPanel::SetBevelInner)
            .Integer("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth)
            .Pixels("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth)
            .Boolean("AutoSize", &TPanel::AutoSize, &TPanel::SetAutoSize)
            .Boolean("ParentBackground", &TPanel::ParentBackground, &TPanel::SetParentBackground);
        return r;
    }();
    return registry;
}

}  // namespace ui
