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

namespace {
// How near a handle a press must be to take it, and its drawn half size.
constexpr int kReach = 6, kHandle = 3;

// A key held as the overlay's messages have it, or as the keyboard has it now:
// under Wine a key's message and a move of the mouse may come in either order.
bool Held(int key) {
    return ::GetKeyState(key) < 0 || (::GetAsyncKeyState(key) & 0x8000) != 0;
}
}  // namespace

glimra::SelectionBox TCaptureForm::Box() const {
    const RECT b = Band();
    return {int(b.left), int(b.top), int(b.right), int(b.bottom)};
}

void TCaptureForm::SetBox(const glimra::SelectionBox& box) {
    InvalidateAdjusting();
    SelRect = {box.left, box.top, box.right, box.bottom};
    InvalidateAdjusting();
}

void TCaptureForm::InvalidateAdjusting() {
    RECT r = Band();
    ::OffsetRect(&r, -Origin().x, -Origin().y);
    ::InflateRect(&r, kHandle + 2, kHandle + 2);
    ::InvalidateRect(Handle(), &r, FALSE);
    const RECT size = SizeBox();
    ::InvalidateRect(Handle(), &size, FALSE);
}

RECT TCaptureForm::SizeBox() const {
    // Below the band's lower right corner, or above its upper right one where
    // the display ends below.
    RECT b = Band();
    const RECT display = DisplayAt({b.right, b.bottom}).area;
    const int width = 120, height = 20;
    const int top = b.bottom + kHandle + 4 + height <= display.bottom
                        ? b.bottom + kHandle + 4
                        : b.top - kHandle - 4 - height;
    RECT r{b.right - width, top, b.right, top + height};
    ::OffsetRect(&r, -Origin().x, -Origin().y);
    return r;
}

std::string TCaptureForm::SizeText() const {
    if (!typed_.empty()) return typed_ + "_";
    const glimra::SelectionBox b = Box();
    return std::to_string(b.Width()) + " x " + std::to_string(b.Height());
}

void TCaptureForm::Take() {
    adjusting_ = false;
    SetModalResult(ui::mrOk);
}

void TCaptureForm::FormMouseDown(ui::TObject*, ui::TMouseButton Button, ui::TShiftState, int X,
                                 int Y) {
    if (Button != ui::TMouseButton::mbLeft) return;
    const POINT p = ToScreen(X, Y);
    if (adjusting_) {
        grip_ = glimra::GripAt(Box(), p.x, p.y, kReach);
        // A second press inside soon after the first takes the band.
        const DWORD now = ::GetTickCount();
        if (grip_ == glimra::Grip::Inside && now - lastClick_ <= ::GetDoubleClickTime())
            return Take();
        lastClick_ = now;
        dragFrom_ = p;
        dragStart_ = Box();
        return;
    }
    Selecting = true;
    SelRect = {p.x, p.y, p.x, p.y};
    lastMove_ = p;
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
        if (Held(VK_SPACE)) {
            // The band moves whole, its size kept.
            ::OffsetRect(&SelRect, p.x - lastMove_.x, p.y - lastMove_.y);
        } else {
            SelRect.right = p.x;
            SelRect.bottom = p.y;
        }
        InvalidateBand();
    } else if (adjusting_ && grip_ != glimra::Grip::None && Held(VK_LBUTTON)) {
        SetBox(glimra::Dragged(dragStart_, grip_, p.x - dragFrom_.x, p.y - dragFrom_.y,
                               Held(VK_SHIFT)));
    }
    lastMove_ = p;
    InvalidateMagnifier();
    pointer_ = p;
    InvalidateMagnifier();
    ::UpdateWindow(Handle());
}

void TCaptureForm::FormMouseUp(ui::TObject*, ui::TMouseButton, ui::TShiftState, int, int) {
    if (adjusting_) {
        grip_ = glimra::Grip::None;
        return;
    }
    if (Selecting) {
        InvalidateBand();
        Selecting = false;
        // A band that has a size stands for adjusting; a click without a drag
        // still takes nothing.
        const glimra::SelectionBox b = Box();
        if (Adjustable && b.Width() > 0 && b.Height() > 0) {
            adjusting_ = true;
            SelRect = {b.left, b.top, b.right, b.bottom};
            InvalidateAdjusting();
            ::UpdateWindow(Handle());
            return;
        }
    }
    SetModalResult(ui::mrOk);
}

bool TCaptureForm::AdjustByKey(WPARAM key) {
    const int step = Held(VK_SHIFT) ? 10 : 1;
    const bool edge = Held(VK_CONTROL);
    switch (key) {
        case VK_LEFT:
            SetBox(glimra::Nudged(Box(), -step, 0, edge));
            return true;
        case VK_RIGHT:
            SetBox(glimra::Nudged(Box(), step, 0, edge));
            return true;
        case VK_UP:
            SetBox(glimra::Nudged(Box(), 0, -step, edge));
            return true;
        case VK_DOWN:
            SetBox(glimra::Nudged(Box(), 0, step, edge));
            return true;
        case VK_RETURN: {
            if (typed_.empty()) {
                Take();
                return true;
            }
            // "W" keeps the height, "WxH" sets both; a part left empty keeps its side.
            const glimra::SelectionBox b = Box();
            const std::size_t x = typed_.find('x');
            const std::string w = typed_.substr(0, x),
                              h = x == std::string::npos ? "" : typed_.substr(x + 1);
            typed_.clear();
            SetBox(glimra::Resized(b, w.empty() ? b.Width() : std::stoi(w),
                                   h.empty() ? b.Height() : std::stoi(h)));
            return true;
        }
        case VK_BACK:
            if (!typed_.empty()) typed_.pop_back();
            InvalidateAdjusting();
            return true;
        case VK_TAB:
        case 'X':
            if (typed_.find('x') == std::string::npos) typed_ += 'x';
            InvalidateAdjusting();
            return true;
    }
    int digit = -1;
    if (key >= '0' && key <= '9') digit = int(key - '0');
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) digit = int(key - VK_NUMPAD0);
    if (digit < 0) return false;
    // Five digits a side at most: no display is wider.
    const std::size_t x = typed_.find('x');
    if (typed_.size() - (x == std::string::npos ? 0 : x + 1) < 5) typed_ += char('0' + digit);
    InvalidateAdjusting();
    return true;
}

bool TCaptureForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_GETDLGCODE && adjusting_) {
        // Tab and the arrows come here as keys.
        result = DLGC_WANTALLKEYS;
        return true;
    }
    if (adjusting_ && message == WM_KEYDOWN && AdjustByKey(wParam)) {
        ::UpdateWindow(Handle());
        result = 0;
        return true;
    }
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
    if (Selecting || adjusting_) {
        RECT band = Band();
        ::OffsetRect(&band, -Origin().x, -Origin().y);
        ::DrawFocusRect(PaintDC(), &band);
    }
    if (adjusting_) {
        // The eight handles, white with a black edge, and the size beside them.
        const glimra::SelectionBox b = Box();
        HGDIOBJ pen = ::SelectObject(PaintDC(), ::GetStockObject(BLACK_PEN));
        HGDIOBJ brush = ::SelectObject(PaintDC(), ::GetStockObject(WHITE_BRUSH));
        for (glimra::Grip g : {glimra::Grip::TopLeft, glimra::Grip::Top, glimra::Grip::TopRight,
                               glimra::Grip::Right, glimra::Grip::BottomRight, glimra::Grip::Bottom,
                               glimra::Grip::BottomLeft, glimra::Grip::Left}) {
            int x = 0, y = 0;
            glimra::GripPoint(b, g, x, y);
            x -= Origin().x;
            y -= Origin().y;
            ::Rectangle(PaintDC(), x - kHandle, y - kHandle, x + kHandle + 1, y + kHandle + 1);
        }
        ::SelectObject(PaintDC(), brush);
        ::SelectObject(PaintDC(), pen);
        RECT size = SizeBox();
        ::FillRect(PaintDC(), &size, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        HGDIOBJ font = ::SelectObject(PaintDC(), ::GetStockObject(DEFAULT_GUI_FONT));
        ::SetTextColor(PaintDC(), RGB(255, 255, 255));
        ::SetBkMode(PaintDC(), TRANSPARENT);
        const std::string text = SizeText();
        ::DrawTextA(PaintDC(), text.c_str(), -1, &size,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        ::SelectObject(PaintDC(), font);
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
