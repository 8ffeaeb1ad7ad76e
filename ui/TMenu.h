// What the main menu and the popup menus share: the root of their items, the
// image list the items take their images from, and the native menu.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/TComponent.h"
#include "ui/TMenuItem.h"

namespace ui {

class TImageList;

class TMenu : public TComponent {
  public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;

    // The root item: its children are the menu's items.
    TMenuItem* Items() const { return items_.get(); }
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images);
    // The native menu of the items (a popup menu).
    HMENU Handle() { return items_->Handle(); }

    // Items declared inside the menu in a layout become its items.
    void AdoptChild(TComponent* child) override;

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

  protected:
    void Notification(TComponent* component, TOperation operation) override;

  private:
    std::unique_ptr<TMenuItem> items_;
    TImageList* images_ = nullptr;
};

}  // namespace ui
