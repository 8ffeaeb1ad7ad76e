#include "capture/capture2.h"

#include <algorithm>

#include "capture/Magnifier.h"

TCaptureForm::TCaptureForm(ui::TComponent* owner) : TScreenOverlay(owner) {
    Handler("FormCreate", &TCaptureForm::FormCreate);
    Handler("FormMouseDown", &TCaptureForm::FormMouseDown);
    Handler("FormMouseMove", &TCaptureForm::FormMouseMove);
    Handler("FormMouseUp", &TCaptureForm::FormMouseUp);
    Handler("FormPaint", &TCaptureForm::FormPaint);
    Handler("FormDestroy", &TCaptureForm::FormDestroy);
}

void TCaptureForm::FormCreate(ui::TObject*) {
    PhysicalPixels physical;
    FreezeScreen();
    // The magnifier stands beside the pointer from the start.
    POINT p;
    if (::GetCursorPos(&p)) pointer_ = p;
}

RECT TCaptureForm::Band() const {
    // Normalised, so that a band dragged up or to the left shows too; the
    // rectangle itself keeps its corners as dragged.
    return {std::min(SelRect.left, SelRect.right), std::min(SelRect.top, SelRect.bottom),
            std::max(SelRect.left, SelRect.right), std::max(SelRect.top, SelRect.bottom)};
}

void TCaptureForm::InvalidateBand() {
    // Only the band's four edges: the frozen image inside and outside is unchanged.
    RECT b = Band();
    ::OffsetRect(&b, -Origin().x, -Origin().y);
    const int w = 2;
    for (const RECT& edge :
         {RECT{b.left, b.top, b.right, b.top + w}, RECT{b.left, b.bottom - w, b.right, b.bottom},
          RECT{b.left, b.top, b.left + w, b.bottom}, RECT{b.right - w, b.top, b.right, b.bottom}})
        ::InvalidateRect(Handle(), &edge, FALSE);
}

void TCaptureForm::InvalidateMagnifier() {
    if (!pointer_ || !ScreenImage) return;
    RECT r = magnifier::Place(*pointer_, DisplayAt(*pointer_));
    ::OffsetRect(&r, -Origin().x, -Origin().y);
    ::InvalidateRect(Handle(), &r, FALSE);
}

void TCaptureForm::FormMouseDown(ui::TObject*, ui::TMouseButton Button, ui::TShiftState, int X,
                                 int Y) {
    if (Button != ui::TMouseButton::mbLeft) return;
    const POINT p = ToScreen(X, Y);
    Selecting = true;
    SelRect = {p.x, p.y, p.x, p.y};
    InvalidateBand();
    InvalidateMagnifier();
    ::UpdateWindow(Handle());
}

void TCaptureForm::FormMouseMove(ui::TObject*, ui::TShiftState, int X, int Y) {
    // What moves is repainted: the band's old and new edges and the magnifier's
    // old and new place.
    const POINT p = ToScreen(X, Y);
    if (Selecting) {
        InvalidateBand();
        SelRect.right = p.x;
        SelRect.bottom = p.y;
        InvalidateBand();
    }
    InvalidateMagnifier();
    pointer_ = p;
    InvalidateMagnifier();
    ::UpdateWindow(Handle());
}

void TCaptureForm::FormMouseUp(ui::TObject*, ui::TMouseButton, ui::TShiftState, int, int) {
    if (Selecting) {
        InvalidateBand();
        Selecting = false;
    }
    SetModalResult(ui::mrOk);
}

bool TCaptureForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (PickKeys && message == WM_KEYDOWN && (wParam == 'W' || wParam == 'D')) {
        Picked = wParam == 'W' ? Pick::Window : Pick::Display;
        ::GetCursorPos(&PickedAt);
        Selecting = false;
        SetModalResult(ui::mrOk);
        result = 0;
        return true;
    }
    return TScreenOverlay::HandleMessage(message, wParam, lParam, result);
}

namespace {
constexpr const char* kKeysText =
    "Drag the area to record, or press W for the window under the pointer, D for its whole "
    "display. Escape cancels.";
}

RECT TCaptureForm::KeysLine() const {
    const RECT primary = DisplayAt({0, 0}).area;
    const int width = 640, height = 26;
    const int left = (primary.left + primary.right - width) / 2 - Origin().x,
              top = primary.top + 8 - Origin().y;
    return {left, top, left + width, top + height};
}

void TCaptureForm::FormPaint(ui::TObject*) {
    // The frozen image, the band over it by exclusive-or (a dotted outline seen
    // on any colour), and the magnifier on top.
    PaintScreenImage();
    if (!PaintDC()) return;
    if (Selecting) {
        RECT band = Band();
        ::OffsetRect(&band, -Origin().x, -Origin().y);
        ::DrawFocusRect(PaintDC(), &band);
    }
    if (pointer_ && ScreenImage) {
        std::optional<SIZE> size;
        if (Selecting) size = SIZE{SelRect.right - SelRect.left, SelRect.bottom - SelRect.top};
        magnifier::Paint(PaintDC(), Origin(), *ScreenImage, *pointer_, DisplayAt(*pointer_), size);
    }
    if (PickKeys) {
        RECT line = KeysLine();
        ::FillRect(PaintDC(), &line, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        HGDIOBJ font = ::SelectObject(PaintDC(), ::GetStockObject(DEFAULT_GUI_FONT));
        ::SetTextColor(PaintDC(), RGB(255, 255, 255));
        ::SetBkMode(PaintDC(), TRANSPARENT);
        ::DrawTextA(PaintDC(), kKeysText, -1, &line,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        ::SelectObject(PaintDC(), font);
    }
}

void TCaptureForm::FormDestroy(ui::TObject*) {
    ScreenImage.reset();
}
