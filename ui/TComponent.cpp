#include "ui/TComponent.h"

#include <algorithm>

namespace ui {

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char ch) { return ch >= 'A' && ch <= 'Z' ? char(ch + 32) : ch; };
               return lower(x) == lower(y);
           });
}

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_) owner_->Insert(this);
}

TComponent::~TComponent() {
    // Tell everyone who asked, then let go of what this one owns.
    auto notified = std::move(notified_);
    for (TComponent* other : notified) {
        other->Notification(this, TOperation::opRemove);
        auto& back = other->notified_;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
    }
    DestroyComponents();
    if (owner_) owner_->Remove(this);
}

void TComponent::DestroyComponents() {
    while (!components_.empty())
        Free(components_.back());
}

void TComponent::Free(TComponent* component) {
    if (!component) return;
    component->BeforeDestruction();
    delete component;
}

void FreeComponent::operator()(TComponent* component) const {
    TComponent::Free(component);
}

void TComponent::Insert(TComponent* component) {
    components_.push_back(component);
    Notification(component, TOperation::opInsert);
}

void TComponent::Remove(TComponent* component) {
    components_.erase(std::remove(components_.begin(), components_.end(), component),
                      components_.end());
    Notification(component, TOperation::opRemove);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_)
        if (SameName(c->Name(), name)) return c;
    return nullptr;
}

void TComponent::FreeNotification(TComponent* other) {
    if (!other || other == this) return;
    // Both directions: whichever goes first tells the other.
    if (std::find(other->notified_.begin(), other->notified_.end(), this) == other->notified_.end())
        other->notified_.push_back(this);
    if (std::find(notified_.begin(), notified_.end(), other) == notified_.end())
        notified_.push_back(other);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
    if (!other) return;
    other->notified_.erase(std::remove(other->notified_.begin(), other->notified_.end(), this),
                           other->notified_.end());
    notified_.erase(std::remove(notified_.begin(), notified_.end(), other), notified_.end());
}

void TComponent::Notification(TComponent*, TOperation) {}

const PropertyRegistry& TComponent::ClassProperties() {
    static const PropertyRegistry registry = [] {
        PropertyRegistry r("TComponent", nullptr);
        Registrar<TComponent>(r)
            .Text("Name", &TComponent::Name, &TComponent::SetName)
            .Integer("Tag", &TComponent::Tag, &TComponent::SetTag);
        return r;
    }();
    return registry;
}

}  // namespace ui
