#include "ui/TImageList.h"

#include "ui/TApplication.h"

namespace ui {

TImageList::TImageList(TComponent* owner) : TComponent(owner) {
    strip_.OnChange = [this] { disabled_.Clear(); };
}

int TImageList::Count() const {
    if (width_ <= 0 || height_ <= 0 || strip_.Height() < height_) return 0;
    return strip_.Width() / width_;
}

int TImageList::DrawWidth() const {
    return Application->Scale(width_);
}

int TImageList::DrawHeight() const {
    return Application->Scale(height_);
}

void TImageList::LoadFromResource(const std::string& name) {
    strip_.LoadFromResource(name);
}

void TImageList::Draw(HDC dc, int x, int y, int index, bool enabled) {
    if (index < 0 || index >= Count()) return;
    if (!enabled && disabled_.Empty()) disabled_.AssignDisabled(strip_);
    TPicture& picture = enabled ? strip_ : disabled_;
    picture.Draw(dc, {x, y, x + DrawWidth(), y + DrawHeight()},
                 {index * width_, 0, (index + 1) * width_, height_});
}

const PropertyRegistry& TImageList::ClassProperties() {
    static const PropertyRegistry registry = [] {
        PropertyRegistry r("TImageList", &TComponent::ClassProperties());
        Registrar<TImageList>(r)
            .Integer("Width", &TImageList::Width, &TImageList::SetWidth)
            .Integer("Height", &TImageList::Height, &TImageList::SetHeight)
            .Picture("Picture", &TImageList::LoadFromResource);
        return r;
    }();
    return registry;
}

}  // namespace ui
