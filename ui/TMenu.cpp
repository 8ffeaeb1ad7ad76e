#include "ui/TMenu.h"

#include "ui/TImageList.h"

namespace ui {

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(std::make_unique<TMenuItem>(nullptr)) {
    items_->menu_ = this;
}

TMenu::~TMenu() {
    items_->menu_ = nullptr;
}

void TMenu::SetImages(TImageList* images) {
    if (images == images_) return;
    if (images_) RemoveFreeNotification(images_);
    images_ = images;
    if (images_) FreeNotification(images_);
    items_->RebuildTree();  // which items have an image has changed
}

void TMenu::AdoptChild(TComponent* child) {
    items_->AdoptChild(child);
}

void TMenu::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == images_) {
        images_ = nullptr;
        items_->RebuildTree();
    }
}

const PropertyRegistry& TMenu::ClassProperties() {
    static const PropertyRegistry registry = [] {
        PropertyRegistry r("TMenu", &TComponent::ClassProperties());
        Registrar<TMenu>(r).Reference<TImageList>("Images", &TMenu::SetImages);
        return r;
    }();
    return registry;
}

}  // namespace ui
