// One entry of a menu: caption (with & accelerators; '-' makes a separator),
// shortcut text, check mark (radio items uncheck the others of their group),
// enabled, visible and default states, an image of the menu's image list or a
// picture of its own, and the child items of its submenu. The items are mirrored
// in native menus (HMENU): every change of an item or of the list of children
// is written through at once, so an open menu always shows the current state.
//
// An item belongs to its parent item: destroying the parent destroys the items
// still under it, so items made at run time need no owner.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/Graphics.h"
#include "ui/ShortCut.h"
#include "ui/TPicture.h"
#include "ui/TComponent.h"
#include "win/handles.h"

namespace ui {

class TImageList;
class TMenu;

class TMenuItem : public TComponent {
  public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool IsLine() const { return caption_ == "-"; }
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool radioItem);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int groupIndex);
    // Clicking the item flips its check mark (checks it, for a radio item).
    bool AutoCheck() const { return autoCheck_; }
    void SetAutoCheck(bool autoCheck) { autoCheck_ = autoCheck; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // The default item of its menu, drawn in bold.
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut shortCut);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }
    // A picture in front of the caption (a language's flag), shown instead of an
    // image of the image list while it is not empty. The item follows its changes.
    TPicture& Bitmap() { return bitmap_; }

    TNotifyEvent OnClick;
    // Runs the item's action: the check mark when AutoCheck, then OnClick.
    virtual void Click();

    // The items of the submenu.
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    int IndexOf(const TMenuItem* item) const;
    TMenuItem* Parent() const { return parent_; }
    void Add(TMenuItem* item);
    // Puts `item`, which must not be in a menu, at `index` (0 to Count()).
    void Insert(int index, TMenuItem* item);
    // Takes the item at `index` out of the submenu without destroying it.
    void Delete(int index);
    void Remove(TMenuItem* item);
    void AdoptChild(TComponent* child) override;

    // The menu this item is part of (through its parents), or nullptr.
    TMenu* GetParentMenu() const;
    // The native menu of the item's children, made on first use.
    HMENU Handle();
    // The command identifier that the native menus report for this item.
    UINT Command() const { return command_; }
    // The live item with that command identifier, or nullptr.
    static TMenuItem* FromCommand(UINT command);

    // The menu window's handling of an item's image (HBMMENU_CALLBACK): false
    // when the request is not about one of our items.
    static bool MeasureImage(MEASUREITEMSTRUCT& measure);
    static bool DrawImage(const DRAWITEMSTRUCT& draw);

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

  private:
    friend class TMenu;
    // The entry of this item in its parent's native menu is out of date.
    void Changed();
    // Writes this item's own entry of its parent's menu again.
    void EntryChanged();
    // The place of this item's entry in its parent's native menu: hidden items have none.
    UINT Position() const;
    // Writes the native menu of the children anew, and those of every item below.
    void RebuildEntries();
    void RebuildTree();
    void Describe(MENUITEMINFOA& info, std::string& text);
    bool HasImage() const;
    TImageList* Images() const;
    void LoadBitmap(const std::string& resourceName) { bitmap_.LoadFromResource(resourceName); }

    std::string caption_, hint_;
    bool checked_ = false, radioItem_ = false, autoCheck_ = false;
    bool enabled_ = true, visible_ = true, default_ = false;
    int groupIndex_ = 0;
    int imageIndex_ = -1;
    TShortCut shortCut_ = scNone;
    TPicture bitmap_;
    std::vector<TMenuItem*> items_;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr;  // set on the root item of a menu
    win::Menu handle_;
    UINT command_;
};

}  // namespace ui
