// The base of every component: a name, an owner that destroys it, a tag, the
// components it owns in creation order, and notification of removal.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/Properties.h"

namespace ui {

class TObject {
  public:
    virtual ~TObject() = default;
};

enum class TOperation { opInsert, opRemove };

class TComponent;
// The deleter of components held by a unique_ptr: frees them as an owner would.
struct FreeComponent {
    void operator()(TComponent* component) const;
};

class TComponent : public TObject {
  public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const std::string& Name() const { return name_; }
    virtual void SetName(const std::string& name) { name_ = name; }
    TComponent* Owner() const { return owner_; }
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    // The components this one owns, in the order they were made.
    const std::vector<TComponent*>& Components() const { return components_; }
    // The owned component of that name (letter case ignored), or nullptr.
    TComponent* FindComponent(std::string_view name) const;

    // Asks to be told (Notification with opRemove) when `other` is destroyed.
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other);

    // A component declared inside this one's block of a layout: a control inside
    // its parent, a menu item inside its menu.
    virtual void AdoptChild(TComponent*) {}

    virtual const PropertyRegistry& Properties() const { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

    // Destroys a component as its owner does: BeforeDestruction first, while the
    // whole object (its derived parts included) still exists, then the destructor.
    static void Free(TComponent* component);
    // Runs just before the destructor when the component is freed.
    virtual void BeforeDestruction() {}

  protected:
    // `component` is going away (or was inserted); drop every reference to it.
    virtual void Notification(TComponent* component, TOperation operation);
    // Destroys the owned components, last made first.
    void DestroyComponents();

  private:
    void Insert(TComponent* component);
    void Remove(TComponent* component);

    std::string name_;
    TComponent* owner_;
    int tag_ = 0;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> notified_;  // told when this one is destroyed
};

// Case-insensitive comparison of ASCII names, as component and property names are.
bool SameName(std::string_view a, std::string_view b);

}  // namespace ui
