// Select: picks the objects over the picture and changes them. A click picks the
// topmost object under the pointer, a drag on empty picture the objects it
// encloses, and Shift adds or removes one. A drag moves what is picked; the
// handles of a single object resize it, Shift keeping its proportions or a line
// at a multiple of 45 degrees. The arrow keys move it by a pixel (Shift: 10),
// Delete removes it, Ctrl+D duplicates it, and a double click on a text types
// it again in place. Every change is one step; the selection's marks are drawn
// over the view, never into the picture.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/editor/DragTool.h"
#include "app/editor/EditorTools.h"
#include "app/editor/MarkObjects.h"
#include "ui/TImage.h"

namespace {

constexpr int kHandle = 3;  // half a handle's side
constexpr int kMargin = MarkObjects::kMarksMargin;

// A handle of a box: which of its edges it moves (-1 left or top, 1 right or
// bottom, 0 neither), clockwise from the top-left corner.
struct Side {
    int x, y;
};
constexpr Side kSides[] = {{-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}};

RECT Normal(POINT a, POINT b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

class SelectTool : public Tool {
  public:
    SelectTool(ToolContext& context, EditorState& state) : Tool(context), state_(state) {}
    ~SelectTool() override {
        context_.image.OnPaintOver = nullptr;
        Invalidate();
        state_.selection.clear();
    }

    void Chosen() override {
        context_.image.OnPaintOver = [this](HDC dc) { Paint(dc); };
        ShowCursor();
    }

    void Press(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override {
        if (typing_) {
            typing_->Press(button, shift, x, y);
            EndTyping();
            return;
        }
        if (button != ui::TMouseButton::mbLeft) return;
        const POINT p{x, y};
        const bool twice = Twice(p);
        const MarkObject* hit = context_.objects.At(p);
        if (twice && hit && hit->kind == MarkObject::Kind::Text) {
            Select({hit->id});
            typing_ = MakeTextEditor(context_, state_, *hit, [this] { typed_ = true; });
            return;
        }
        press_ = p;
        if ((handle_ = HandleAt(p)) >= 0) {
            drag_ = Drag::Handle;
            before_ = Selected();
            return;
        }
        if (hit && (shift & ui::ssShift)) {
            std::vector<std::uint64_t> picked = state_.selection;
            const auto at = std::find(picked.begin(), picked.end(), hit->id);
            at == picked.end() ? picked.push_back(hit->id) : void(picked.erase(at));
            Select(picked);
            return;
        }
        if (hit) {
            if (std::find(state_.selection.begin(), state_.selection.end(), hit->id) ==
                state_.selection.end())
                Select({hit->id});
            drag_ = Drag::Move;
            before_ = Selected();
            return;
        }
        if (!(shift & ui::ssShift)) Select({});
        drag_ = Drag::Band;
        band_ = {x, y, x, y};
        context_.DrawBand(band_);
    }

    void Move(ui::TShiftState shift, int x, int y) override {
        if (!(shift & ui::ssLeft)) return;
        switch (drag_) {
            case Drag::Band:
                context_.DrawBand(band_);
                band_.right = x, band_.bottom = y;
                context_.DrawBand(band_);
                break;
            case Drag::Move: {
                int dx = x - press_.x, dy = y - press_.y;
                // Shift keeps the move along the longer axis.
                if (shift & ui::ssShift) (std::abs(dx) > std::abs(dy) ? dy : dx) = 0;
                std::vector<MarkObject> moved = before_;
                for (MarkObject& o : moved)
                    o.Offset(dx, dy);
                Show(moved);
                break;
            }
            case Drag::Handle:
                Show({Resized(before_.front(), {x, y}, shift & ui::ssShift)});
                break;
            case Drag::None:
                break;
        }
    }

    void Release(ui::TMouseButton button, ui::TShiftState shift, int, int) override {
        if (button != ui::TMouseButton::mbLeft) return;
        const Drag drag = std::exchange(drag_, Drag::None);
        if (drag == Drag::Band) {
            context_.DrawBand(band_);
            // The band holds the pixels from the press to the release, both
            // included; a mark is in it when all it shows of itself is.
            RECT band = Normal({band_.left, band_.top}, {band_.right, band_.bottom});
            ++band.right, ++band.bottom;
            std::vector<std::uint64_t> picked =
                shift & ui::ssShift ? state_.selection : std::vector<std::uint64_t>{};
            for (const MarkObject& o : context_.objects.List()) {
                const RECT box = o.reach;
                if (box.left < band.left || box.top < band.top || box.right > band.right ||
                    box.bottom > band.bottom)
                    continue;
                const auto at = std::find(picked.begin(), picked.end(), o.id);
                at == picked.end() ? picked.push_back(o.id) : void(picked.erase(at));
            }
            Select(picked);
        } else if (drag == Drag::Move || drag == Drag::Handle) {
            const std::vector<MarkObject> now = Selected();
            bool changed = false;
            for (std::size_t k = 0; k < now.size(); ++k)
                changed = changed || now[k].a.x != before_[k].a.x || now[k].a.y != before_[k].a.y ||
                          now[k].b.x != before_[k].b.x || now[k].b.y != before_[k].b.y;
            if (changed) context_.objects.Change(now, before_);
        }
    }

    bool Key(const MSG& msg) override {
        if (typing_) {
            const bool used = typing_->Key(msg);
            EndTyping();
            return used;
        }
        if (msg.message != WM_KEYDOWN || ::GetKeyState(VK_MENU) < 0) return false;
        const bool ctrl = ::GetKeyState(VK_CONTROL) < 0, shift = ::GetKeyState(VK_SHIFT) < 0;
        const std::vector<std::uint64_t> picked = state_.selection;
        if (msg.wParam == VK_ESCAPE) {
            if (drag_ != Drag::None) {
                Cancel();
                return true;
            }
            if (picked.empty()) return false;
            Select({});
            return true;
        }
        if (picked.empty() || drag_ != Drag::None) return false;
        if (msg.wParam == VK_DELETE && !ctrl) {
            Invalidate();
            context_.objects.Remove(picked);
            state_.selection.clear();
            return true;
        }
        if (msg.wParam == 'D' && ctrl) {
            Invalidate();
            state_.selection = context_.objects.Duplicate(picked, 10, 10);
            Invalidate();
            return true;
        }
        int dx = 0, dy = 0;
        const int step = shift ? 10 : 1;
        switch (msg.wParam) {
            case VK_LEFT:
                dx = -step;
                break;
            case VK_RIGHT:
                dx = step;
                break;
            case VK_UP:
                dy = -step;
                break;
            case VK_DOWN:
                dy = step;
                break;
            default:
                return false;
        }
        if (ctrl) return false;
        std::vector<MarkObject> moved = Selected();
        for (MarkObject& o : moved)
            o.Offset(dx, dy);
        Invalidate();
        context_.objects.Change(moved);
        Invalidate();
        return true;
    }

    // Another tool is chosen: a typed text is kept, a drag goes back.
    void Cancel() override {
        if (typing_) {
            typing_->Cancel();
            EndTyping();
        }
        const Drag drag = std::exchange(drag_, Drag::None);
        if (drag == Drag::Band) context_.DrawBand(band_);
        if (drag == Drag::Move || drag == Drag::Handle) Show(before_);
    }
    bool TakesText() const override { return typing_ && typing_->TakesText(); }

  protected:
    int Cursor() const override { return ui::crArrow; }

  private:
    enum class Drag { None, Band, Move, Handle };

    // The objects selected, as they are now.
    std::vector<MarkObject> Selected() const {
        std::vector<MarkObject> objects;
        for (std::uint64_t id : state_.selection)
            if (const MarkObject* o = context_.objects.Find(id)) objects.push_back(*o);
        return objects;
    }
    void Select(std::vector<std::uint64_t> ids) {
        Invalidate();
        state_.selection = std::move(ids);
        Invalidate();
    }
    void Show(const std::vector<MarkObject>& changed) {
        Invalidate();
        context_.objects.Show(changed);
        Invalidate();
    }
    // The view paints the selection's marks again.
    void Invalidate() const {
        for (const MarkObject& o : Selected()) {
            RECT box = o.Box();
            ::InflateRect(&box, kMargin, kMargin);
            context_.image.Invalidate(box);
        }
    }
    // The single object whose handles show, or nullptr.
    const MarkObject* Sized() const {
        if (state_.selection.size() != 1) return nullptr;
        const MarkObject* o = context_.objects.Find(state_.selection.front());
        return o && o->Sizable() ? o : nullptr;
    }
    // The handles' centres: a line's ends, or a box's corners and the middles of
    // its edges.
    std::vector<POINT> Handles() const {
        const MarkObject* o = Sized();
        if (!o) return {};
        if (o->IsLine()) return {o->a, o->b};
        const RECT r = Normal(o->a, o->b);
        std::vector<POINT> points;
        for (const Side& s : kSides)
            points.push_back({s.x < 0   ? r.left
                              : s.x > 0 ? r.right
                                        : (r.left + r.right) / 2,
                              s.y < 0   ? r.top
                              : s.y > 0 ? r.bottom
                                        : (r.top + r.bottom) / 2});
        return points;
    }
    int HandleAt(POINT p) const {
        const std::vector<POINT> handles = Handles();
        for (std::size_t i = 0; i < handles.size(); ++i)
            if (std::abs(p.x - handles[i].x) <= kHandle + 1 &&
                std::abs(p.y - handles[i].y) <= kHandle + 1)
                return int(i);
        return -1;
    }
    // The object as its handle dragged to `to` makes it.
    MarkObject Resized(MarkObject o, POINT to, bool shift) const {
        if (o.IsLine()) {
            POINT& end = handle_ == 0 ? o.a : o.b;
            end = shift ? OctantEnd(handle_ == 0 ? o.b : o.a, to) : to;
            return o;
        }
        const RECT was = Normal(o.a, o.b);
        RECT r = was;
        const Side side = kSides[handle_];
        if (side.x) (side.x < 0 ? r.left : r.right) = to.x;
        if (side.y) (side.y < 0 ? r.top : r.bottom) = to.y;
        if (shift && side.x && side.y && was.right > was.left && was.bottom > was.top) {
            // The corner opposite stays; the box keeps the proportions it had.
            const POINT anchor{side.x < 0 ? was.right : was.left,
                               side.y < 0 ? was.bottom : was.top};
            const double w = was.right - was.left, h = was.bottom - was.top;
            const double scale =
                std::max(std::abs(to.x - anchor.x) / w, std::abs(to.y - anchor.y) / h);
            const int sx = to.x < anchor.x ? -1 : 1, sy = to.y < anchor.y ? -1 : 1;
            o.a = anchor;
            o.b = {anchor.x + sx * int(std::lround(w * scale)),
                   anchor.y + sy * int(std::lround(h * scale))};
            return o;
        }
        o.a = {r.left, r.top};
        o.b = {r.right, r.bottom};
        return o;
    }
    // A second press soon after the first and near it: a double click.
    bool Twice(POINT p) {
        const DWORD now = DWORD(::GetMessageTime());
        const bool twice = pressed_ && now - lastPress_ <= ::GetDoubleClickTime() &&
                           std::abs(p.x - lastAt_.x) <= ::GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                           std::abs(p.y - lastAt_.y) <= ::GetSystemMetrics(SM_CYDOUBLECLK) / 2;
        pressed_ = !twice;
        lastPress_ = now;
        lastAt_ = p;
        return twice;
    }
    // The text typed in place is done with once its typing has ended.
    void EndTyping() {
        if (!typed_) return;
        typed_ = false;
        typing_.reset();
        Invalidate();
    }
    void Paint(HDC dc) const {
        for (const MarkObject& o : Selected()) {
            RECT box = o.Box();
            ::InflateRect(&box, 2, 2);
            ::DrawFocusRect(dc, &box);
        }
        const HGDIOBJ pen = ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
        const HGDIOBJ brush = ::SelectObject(dc, ::GetStockObject(WHITE_BRUSH));
        for (const POINT& h : Handles())
            ::Rectangle(dc, h.x - kHandle, h.y - kHandle, h.x + kHandle + 1, h.y + kHandle + 1);
        ::SelectObject(dc, brush);
        ::SelectObject(dc, pen);
    }

    EditorState& state_;
    Drag drag_ = Drag::None;
    POINT press_{};
    RECT band_{};
    int handle_ = -1;
    std::vector<MarkObject> before_;  // the selection as it was when the drag began
    std::unique_ptr<Tool> typing_;    // a text typed again in place
    bool typed_ = false;
    bool pressed_ = false;
    DWORD lastPress_ = 0;
    POINT lastAt_{};
};

}  // namespace

std::unique_ptr<Tool> MakeSelectTool(ToolContext& context, EditorState& state) {
    return std::make_unique<SelectTool>(context, state);
}
