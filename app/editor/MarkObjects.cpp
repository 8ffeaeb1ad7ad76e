#include "app/editor/MarkObjects.h"

#include <algorithm>
#include <cstring>

#include "app/CurrentPicture.h"
#include "app/History.h"
#include "ui/TImage.h"

namespace {

bool Meets(const RECT& a, const RECT& b) {
    RECT r;
    return ::IntersectRect(&r, &a, &b) != FALSE;
}

void Join(RECT& into, const RECT& part) {
    if (::IsRectEmpty(&part)) return;
    if (::IsRectEmpty(&into))
        into = part;
    else
        ::UnionRect(&into, &into, &part);
}

}  // namespace

MarkObjects::MarkObjects(CurrentPicture& picture, History& history)
    : picture_(picture), history_(history) {
    history_.BeforePixels = [this] { Flatten(); };
}

std::size_t MarkObjects::Edit::Bytes() const {
    std::size_t bytes = sizeof *this;
    for (const std::vector<Entry>* entries : {&removed, &inserted})
        for (const Entry& e : *entries)
            bytes += sizeof e.index + e.object.Bytes();
    return bytes;
}

std::ptrdiff_t MarkObjects::IndexOf(std::uint64_t id) const {
    for (std::size_t i = 0; i < objects_.size(); ++i)
        if (objects_[i].id == id) return std::ptrdiff_t(i);
    return -1;
}

const MarkObject* MarkObjects::Find(std::uint64_t id) const {
    const std::ptrdiff_t i = IndexOf(id);
    return i < 0 ? nullptr : &objects_[std::size_t(i)];
}

const MarkObject* MarkObjects::At(POINT p) const {
    for (auto o = objects_.rbegin(); o != objects_.rend(); ++o)
        if (o->Hit(p)) return &*o;
    return nullptr;
}

void MarkObjects::Add(MarkObject object) {
    object.id = ++lastId_;
    if (!object.Visible()) return;
    Edit edit;
    edit.inserted.push_back({objects_.size(), std::move(object)});
    Take(std::move(edit));
}

void MarkObjects::Change(const std::vector<MarkObject>& changed) {
    Change(changed, {});
}

void MarkObjects::Change(const std::vector<MarkObject>& changed,
                         const std::vector<MarkObject>& before) {
    Edit edit;
    for (std::size_t k = 0; k < changed.size(); ++k) {
        const std::ptrdiff_t i = IndexOf(changed[k].id);
        if (i < 0) continue;
        edit.removed.push_back(
            {std::size_t(i), k < before.size() ? before[k] : objects_[std::size_t(i)]});
        edit.inserted.push_back({std::size_t(i), changed[k]});
    }
    const auto byIndex = [](const Entry& x, const Entry& y) { return x.index < y.index; };
    std::sort(edit.removed.begin(), edit.removed.end(), byIndex);
    std::sort(edit.inserted.begin(), edit.inserted.end(), byIndex);
    if (!edit.inserted.empty()) Take(std::move(edit));
}

std::vector<MarkObjects::Entry> MarkObjects::EntriesOf(
    const std::vector<std::uint64_t>& ids) const {
    std::vector<Entry> entries;
    for (std::size_t i = 0; i < objects_.size(); ++i)
        if (std::find(ids.begin(), ids.end(), objects_[i].id) != ids.end())
            entries.push_back({i, objects_[i]});
    return entries;
}

void MarkObjects::Remove(const std::vector<std::uint64_t>& ids) {
    Edit edit;
    edit.removed = EntriesOf(ids);
    if (!edit.removed.empty()) Take(std::move(edit));
}

std::vector<std::uint64_t> MarkObjects::Duplicate(const std::vector<std::uint64_t>& ids, int dx,
                                                  int dy) {
    Edit edit;
    std::vector<std::uint64_t> copies;
    for (const MarkObject& o : objects_) {
        if (std::find(ids.begin(), ids.end(), o.id) == ids.end()) continue;
        MarkObject copy = o;
        copy.id = ++lastId_;
        copy.Offset(dx, dy);
        copies.push_back(copy.id);
        edit.inserted.push_back({objects_.size() + edit.inserted.size(), std::move(copy)});
    }
    if (!edit.inserted.empty()) Take(std::move(edit));
    return copies;
}

void MarkObjects::ToFront(const std::vector<std::uint64_t>& ids) {
    Edit edit;
    edit.removed = EntriesOf(ids);
    const std::size_t first = objects_.size() - edit.removed.size();
    for (std::size_t k = 0; k < edit.removed.size(); ++k)
        edit.inserted.push_back({first + k, edit.removed[k].object});
    if (!edit.removed.empty()) Take(std::move(edit));
}

void MarkObjects::ToBack(const std::vector<std::uint64_t>& ids) {
    Edit edit;
    edit.removed = EntriesOf(ids);
    for (std::size_t k = 0; k < edit.removed.size(); ++k)
        edit.inserted.push_back({k, edit.removed[k].object});
    if (!edit.removed.empty()) Take(std::move(edit));
}

void MarkObjects::Show(const std::vector<MarkObject>& changed) {
    const glimra::PixelView v = picture_.View();
    RECT dirty{};
    for (const MarkObject& c : changed) {
        const std::ptrdiff_t i = IndexOf(c.id);
        if (i < 0) continue;
        MarkObject& o = objects_[std::size_t(i)];
        Join(dirty, o.reach);
        o = c;
        o.Measure(v.width, v.height);
        Join(dirty, o.reach);
    }
    Redraw(dirty);
}

void MarkObjects::Take(Edit edit) {
    Apply(edit, true);
    const auto kept = std::make_shared<const Edit>(std::move(edit));
    history_.Objects([this, kept] { Apply(*kept, false); }, [this, kept] { Apply(*kept, true); },
                     kept->Bytes());
}

void MarkObjects::Apply(const Edit& edit, bool forward) {
    const std::vector<Entry>& out = forward ? edit.removed : edit.inserted;
    const std::vector<Entry>& in = forward ? edit.inserted : edit.removed;
    if (objects_.empty() && !in.empty()) Start();
    const glimra::PixelView v = picture_.View();
    RECT dirty{};
    for (auto e = out.rbegin(); e != out.rend(); ++e) {
        Join(dirty, objects_[e->index].reach);
        objects_.erase(objects_.begin() + std::ptrdiff_t(e->index));
    }
    for (const Entry& e : in) {
        MarkObject o = e.object;
        o.Measure(v.width, v.height);
        Join(dirty, o.reach);
        objects_.insert(objects_.begin() + std::ptrdiff_t(e.index), std::move(o));
    }
    Number(dirty);
    Redraw(dirty);
    // Without objects the view's pixels are the base's: it is not needed.
    if (objects_.empty()) {
        ui::TBitmap none;
        base_.Take(none);
    }
}

void MarkObjects::Number(RECT& dirty) {
    std::vector<MarkObject*> steps;
    for (MarkObject& o : objects_)
        if (o.kind == MarkObject::Kind::Step) steps.push_back(&o);
    std::sort(steps.begin(), steps.end(),
              [](const MarkObject* x, const MarkObject* y) { return x->id < y->id; });
    for (std::size_t k = 0; k < steps.size(); ++k) {
        const int number = stepsBefore_ + int(k) + 1;
        if (steps[k]->number == number) continue;
        steps[k]->number = number;
        Join(dirty, steps[k]->reach);
    }
}

void MarkObjects::Start() {
    base_.Assign(picture_.Bitmap());
}

void MarkObjects::Redraw(RECT part) {
    ui::TBitmap& view = picture_.Bitmap();
    const RECT all{0, 0, view.Width(), view.Height()};
    if (!::IntersectRect(&part, &part, &all)) return;
    // A Pixelate object reads what lies under all of its blocks.
    for (bool grown = true; grown;) {
        grown = false;
        for (const MarkObject& o : objects_) {
            RECT both;
            if (o.kind != MarkObject::Kind::Pixelate || !Meets(o.reach, part)) continue;
            ::UnionRect(&both, &part, &o.reach);
            if (::EqualRect(&both, &part)) continue;
            part = both;
            grown = true;
        }
    }
    // A save may have brought the view's pixels to another layout meanwhile.
    if (base_.PixelFormat() != view.PixelFormat()) base_.SetPixelFormat(view.PixelFormat());
    const glimra::PixelView from = base_.View(), to = view.View();
    if (from.width != to.width || from.height != to.height) return;
    ::GdiFlush();
    const std::size_t bytes = std::size_t(part.right - part.left) * std::size_t(to.bytesPerPixel);
    for (int y = part.top; y < part.bottom; ++y)
        std::memcpy(to.Row(y) + part.left * to.bytesPerPixel,
                    from.Row(y) + part.left * from.bytesPerPixel, bytes);
    for (const MarkObject& o : objects_)
        if (Meets(o.reach, part)) o.Draw(view, part);
    ::InflateRect(&part, kMarksMargin, kMarksMargin);
    picture_.Viewer().Invalidate(part);
}

void MarkObjects::Flatten() {
    if (objects_.empty()) return;
    struct Kept {
        std::vector<MarkObject> objects;
        ui::TBitmap base;
        int stepsBefore = 0, steps = 0;
    };
    const auto kept = std::make_shared<Kept>();
    kept->stepsBefore = stepsBefore_;
    for (const MarkObject& o : objects_)
        kept->steps += o.kind == MarkObject::Kind::Step;
    std::size_t bytes =
        sizeof(Kept) + base_.View().height * std::size_t(std::abs(base_.View().stride));
    for (const MarkObject& o : objects_)
        bytes += o.Bytes();
    const auto into = [this, kept] {
        kept->objects = std::move(objects_);
        objects_.clear();
        kept->base.Take(base_);
        stepsBefore_ = kept->stepsBefore + kept->steps;
        picture_.Viewer().Invalidate();
    };
    const auto back = [this, kept] {
        objects_ = std::move(kept->objects);
        kept->objects.clear();
        base_.Take(kept->base);
        stepsBefore_ = kept->stepsBefore;
        picture_.Viewer().Invalidate();
    };
    into();
    history_.Flatten(back, into, bytes);
}
