#include "ui/TScrollBox.h"

#include <algorithm>

#include "win/handles.h"

namespace ui {

TScrollBox::TScrollBox(TComponent* owner) : TScrollingWinControl(owner) {
    width_ = 185;
    height_ = 41;
}

void TScrollBox::CreateParams(TCreateParams& params) {
    TScrollingWinControl::CreateParams(params);
    params.exStyle |= WS_EX_CONTROLPARENT;
    if (borderStyle_ == TBorderStyle::bsSingle) params.exStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::SetBorderStyle(TBorderStyle style) {
    borderStyle_ = style;
    if (!HandleAllocated()) return;
    LONG exStyle = ::GetWindowLongA(Handle(), GWL_EXSTYLE);
    exStyle =
        style == TBorderStyle::bsSingle ? exStyle | WS_EX_CLIENTEDGE : exStyle & ~WS_EX_CLIENTEDGE;
    ::SetWindowLongA(Handle(), GWL_EXSTYLE, exStyle);
    FrameChanged();
}

void TScrollBox::FrameChanged() {
    if (HandleAllocated())
        ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TScrollBox::SetBevelInner(TBevelCut cut) {
    bevelInner_ = cut;
    FrameChanged();
}

void TScrollBox::SetBevelOuter(TBevelCut cut) {
    bevelOuter_ = cut;
    FrameChanged();
}

void TScrollBox::SetBevelKind(TBevelKind kind) {
    bevelKind_ = kind;
    FrameChanged();
}

void TScrollBox::SetBevelWidth(int width) {
    bevelWidth_ = std::max(1, width);
    FrameChanged();
}

int TScrollBox::BevelSize() const {
    if (bevelKind_ == TBevelKind::bkNone) return 0;
    return (bevelInner_ != TBevelCut::bvNone ? bevelWidth_ : 0) +
           (bevelOuter_ != TBevelCut::bvNone ? bevelWidth_ : 0);
}

void TScrollBox::PaintBevels() {
    RECT window;
    ::GetWindowRect(Handle(), &window);
    // The band just inside the border; the system laid out the scroll bars and
    // the client area inside it.
    RECT outer{0, 0, window.right - window.left, window.bottom - window.top};
    if (borderStyle_ == TBorderStyle::bsSingle)
        ::InflateRect(&outer, -::GetSystemMetrics(SM_CXEDGE), -::GetSystemMetrics(SM_CYEDGE));
    // Inside the band: the client area and the scroll bars beside it.
    RECT inner;
    ::GetClientRect(Handle(), &inner);
    ::MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&inner), 2);
    ::OffsetRect(&inner, -window.left, -window.top);
    const DWORD style = ::GetWindowLongA(Handle(), GWL_STYLE);
    if (style & WS_VSCROLL) inner.right += ::GetSystemMetrics(SM_CXVSCROLL);
    if (style & WS_HSCROLL) inner.bottom += ::GetSystemMetrics(SM_CYHSCROLL);
    win::WindowDC dc = win::WindowDC::WholeWindow(Handle());
    ::ExcludeClipRect(dc.Get(), inner.left, inner.top, inner.right, inner.bottom);
    win::Brush face(::CreateSolidBrush(ColorToRGB(Color())));
    ::FillRect(dc.Get(), &outer, face.Get());
    const UINT kind = bevelKind_ == TBevelKind::bkSoft   ? BF_SOFT
                      : bevelKind_ == TBevelKind::bkFlat ? BF_FLAT
                                                         : 0;
    auto edge = [](TBevelCut cut, UINT raised, UINT sunken) -> UINT {
        return cut == TBevelCut::bvRaised ? raised : cut == TBevelCut::bvLowered ? sunken : 0;
    };
    RECT r = outer;
    if (const UINT outerEdge = edge(bevelOuter_, BDR_RAISEDOUTER, BDR_SUNKENOUTER))
        ::DrawEdge(dc.Get(), &r, outerEdge, BF_RECT | kind);
    if (bevelOuter_ != TBevelCut::bvNone) ::InflateRect(&r, -bevelWidth_, -bevelWidth_);
    if (const UINT innerEdge = edge(bevelInner_, BDR_RAISEDINNER, BDR_SUNKENINNER))
        ::DrawEdge(dc.Get(), &r, innerEdge, BF_RECT | kind);
}

LRESULT TScrollBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const int size = BevelSize();
    if (message == WM_NCCALCSIZE && size > 0) {
        // The system fits the border and the scroll bars; the bevels then take
        // their room from the client area, and the bars, which keep to the
        // client area's side, move in with it.
        const LRESULT result = TScrollingWinControl::WndProc(message, wParam, lParam);
        RECT* client = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                              : reinterpret_cast<RECT*>(lParam);
        client->left += size;
        client->top += size;
        client->right -= size;
        client->bottom -= size;
        return result;
    }
    if (message == WM_NCPAINT) {
        // The client first, where the box shows what the user waits for (a new
        // picture, as the window comes back after a capture): the system's
        // scroll bars follow, and themed ones can take milliseconds to draw.
        PaintUpdateNow();
        const LRESULT result = TScrollingWinControl::WndProc(message, wParam, lParam);
        if (size > 0) PaintBevels();
        return result;
    }
    return TScrollingWinControl::WndProc(message, wParam, lParam);
}

const PropertyRegistry& TScrollBox::ClassProperties() {
    static const PropertyRegistry registry = [] {
        PropertyRegistry r("TScrollBox", &TScrollingWinControl::ClassProperties());
        const std::vector<std::pair<std::string, int>> cuts = {
            {"bvNone", 0}, {"bvLowered", 1}, {"bvRaised", 2}, {"bvSpace", 3}};
        Registrar<TScrollBox>(r)
            .Enum("BorderStyle", {{"bsNone", 0}, {"bsSingle", 1}}, &TScrollBox::BorderStyle,
                  &TScrollBox::SetBorderStyle)
            .Enum("BevelInner", cuts, &TScrollBox::BevelInner, &TScrollBox::SetBevelInner)
            .Enum("BevelOuter", cuts, &TScrollBox::BevelOuter, &TScrollBox::SetBevelOuter)
            .Enum("BevelKind", {{"bkNone", 0}, {"bkTile", 1}, {"bkSoft", 2}, {"bkFlat", 3}},
                  &TScrollBox::BevelKind, &TScrollBox::SetBevelKind)
            .Integer("BevelWidth", &TScrollBox::BevelWidth, &TScrollBox::SetBevelWidth);
        return r;
    }();
    return registry;
}

}  // namespace ui
