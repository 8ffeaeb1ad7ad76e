#include "ui/TMenuItem.h"

#include <algorithm>
#include <map>
#include <stdexcept>

#include "ui/TApplication.h"
#include "ui/TImageList.h"
#include "ui/TMenu.h"

namespace ui {

namespace {

// Live items by command identifier. WM_COMMAND carries 16 bits of it; numbers
// are handed out in turn, so that a command posted for an item that is gone is
// not taken by a new item at once.
std::map<UINT, TMenuItem*>& Commands() {
    static std::map<UINT, TMenuItem*> commands;
    return commands;
}

UINT NewCommand(TMenuItem* item) {
    static UINT next = 0;
    auto& commands = Commands();
    if (commands.size() >= 0xFFFE) throw std::runtime_error("too many menu items");
    do {
        next = next % 0xFFFF + 1;
    } while (commands.count(next));
    commands[next] = item;
    return next;
}

}  // namespace

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(NewCommand(this)) {
    bitmap_.OnChange = [this] { EntryChanged(); };
}

TMenuItem::~TMenuItem() {
    while (!items_.empty())
        delete items_.back();
    if (parent_) parent_->Remove(this);
    handle_.Reset();  // empty now: its submenus went with the children
    Commands().erase(command_);
}

TMenuItem* TMenuItem::FromCommand(UINT command) {
    auto it = Commands().find(command);
    return it == Commands().end() ? nullptr : it->second;
}

void TMenuItem::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    EntryChanged();
}

void TMenuItem::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    if (checked && radioItem_ && parent_)
        for (TMenuItem* sibling : parent_->items_)
            if (sibling != this && sibling->checked_ && sibling->radioItem_ &&
                sibling->groupIndex_ == groupIndex_) {
                sibling->checked_ = false;
                sibling->EntryChanged();
            }
    EntryChanged();
}

void TMenuItem::SetRadioItem(bool radioItem) {
    if (radioItem == radioItem_) return;
    radioItem_ = radioItem;
    EntryChanged();
}

void TMenuItem::SetGroupIndex(int groupIndex) {
    groupIndex_ = groupIndex;
}

void TMenuItem::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    EntryChanged();
}

void TMenuItem::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    Changed();
}

void TMenuItem::SetDefault(bool isDefault) {
    if (isDefault == default_) return;
    default_ = isDefault;
    // One default item per menu.
    if (isDefault && parent_)
        for (TMenuItem* sibling : parent_->items_)
            if (sibling != this) sibling->default_ = false;
    Changed();
}

void TMenuItem::SetImageIndex(int index) {
    if (index == imageIndex_) return;
    imageIndex_ = index;
    EntryChanged();
}

void TMenuItem::SetShortCut(TShortCut shortCut) {
    if (shortCut == shortCut_) return;
    shortCut_ = shortCut;
    EntryChanged();
}

void TMenuItem::Click() {
    if (autoCheck_) SetChecked(radioItem_ ? true : !checked_);
    if (OnClick) OnClick(this);
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Add(TMenuItem* item) {
    Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item) throw std::invalid_argument("no menu item to insert");
    if (item->parent_)
        throw std::invalid_argument("the menu item " + item->caption_ + " is in a menu already");
    for (const TMenuItem* p = this; p; p = p->parent_)
        if (p == item) throw std::invalid_argument("a menu item cannot hold itself");
    if (index < 0 || index > Count())
        throw std::out_of_range("menu index " + std::to_string(index) + " out of range");
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    // Only the new entry goes into the native menu: a submenu filled item by
    // item would otherwise be written again whole for each, at its square's cost.
    if (handle_ && item->visible_) {
        MENUITEMINFOA info;
        std::string text;
        item->Describe(info, text);
        if (!::InsertMenuItemA(handle_.Get(), item->Position(), TRUE, &info))
            throw std::runtime_error("cannot add the menu item " + item->caption_);
    }
    if (Count() == 1) EntryChanged();  // the entry has gained its submenu
}

void TMenuItem::Delete(int index) {
    if (index < 0 || index >= Count())
        throw std::out_of_range("menu index " + std::to_string(index) + " out of range");
    TMenuItem* item = items_[static_cast<std::size_t>(index)];
    // RemoveMenu keeps the item's submenu: it belongs to the item.
    if (handle_ && item->visible_) ::RemoveMenu(handle_.Get(), item->Position(), MF_BYPOSITION);
    items_.erase(items_.begin() + index);
    item->parent_ = nullptr;
    if (items_.empty()) EntryChanged();  // the entry has lost its submenu
}

void TMenuItem::Remove(TMenuItem* item) {
    const int index = IndexOf(item);
    if (index >= 0) Delete(index);
}

void TMenuItem::AdoptChild(TComponent* child) {
    if (auto* item = dynamic_cast<TMenuItem*>(child)) Add(item);
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* root = this;
    while (root->parent_)
        root = root->parent_;
    return root->menu_;
}

TImageList* TMenuItem::Images() const {
    const TMenu* menu = GetParentMenu();
    return menu ? menu->Images() : nullptr;
}

bool TMenuItem::HasImage() const {
    if (!bitmap_.Empty()) return true;
    const TImageList* images = Images();
    return images && imageIndex_ >= 0 && imageIndex_ < images->Count();
}

HMENU TMenuItem::Handle() {
    if (!handle_) {
        handle_.Reset(::CreatePopupMenu());
        if (!handle_) throw std::runtime_error("cannot create a menu");
        RebuildEntries();
    }
    return handle_.Get();
}

void TMenuItem::Changed() {
    if (parent_) parent_->RebuildEntries();
}

void TMenuItem::EntryChanged() {
    // Only this item's entry is written again: a language applies hundreds of
    // captions, and rewriting every sibling for each would cost their square.
    if (!parent_ || !parent_->handle_ || !visible_) return;
    MENUITEMINFOA info;
    std::string text;
    Describe(info, text);
    if (!::SetMenuItemInfoA(parent_->handle_.Get(), Position(), TRUE, &info))
        throw std::runtime_error("cannot change the menu item " + caption_);
}

UINT TMenuItem::Position() const {
    UINT position = 0;
    for (const TMenuItem* item : parent_->items_) {
        if (item == this) break;
        if (item->visible_) ++position;
    }
    return position;
}

void TMenuItem::Describe(MENUITEMINFOA& info, std::string& text) {
    info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA;
    info.wID = command_;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(this);
    if (IsLine()) {
        info.fType = MFT_SEPARATOR;
        return;
    }
    info.fMask |= MIIM_STATE | MIIM_STRING;
    info.fType = radioItem_ ? MFT_RADIOCHECK : 0;
    info.fState =
        (enabled_ ? 0 : MFS_GRAYED) | (checked_ ? MFS_CHECKED : 0) | (default_ ? MFS_DEFAULT : 0);
    text = caption_;
    const std::string keys = ShortCutToText(shortCut_);
    if (!keys.empty()) text += "\t" + keys;
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    // Always written, so that an item that has lost its last child loses its submenu too.
    info.fMask |= MIIM_SUBMENU;
    info.hSubMenu = items_.empty() ? nullptr : Handle();
    if (HasImage()) {
        info.fMask |= MIIM_BITMAP;
        info.hbmpItem = HBMMENU_CALLBACK;
    }
}

void TMenuItem::RebuildEntries() {
    if (!handle_) return;
    HMENU menu = handle_.Get();
    // RemoveMenu keeps the submenus: they belong to the child items.
    while (::GetMenuItemCount(menu) > 0)
        ::RemoveMenu(menu, 0, MF_BYPOSITION);
    UINT position = 0;
    for (TMenuItem* item : items_) {
        if (!item->visible_) continue;
        MENUITEMINFOA info;
        std::string text;
        item->Describe(info, text);
        if (!::InsertMenuItemA(menu, position++, TRUE, &info))
            throw std::runtime_error("cannot add the menu item " + item->caption_);
    }
}

void TMenuItem::RebuildTree() {
    for (TMenuItem* item : items_)
        item->RebuildTree();
    RebuildEntries();
}

bool TMenuItem::MeasureImage(MEASUREITEMSTRUCT& measure) {
    TMenuItem* item = FromCommand(measure.itemID);
    if (!item || reinterpret_cast<ULONG_PTR>(item) != measure.itemData) return false;
    int w = 0, h = 0;
    if (!item->bitmap_.Empty()) {
        w = Application->Scale(item->bitmap_.Width());
        h = Application->Scale(item->bitmap_.Height());
    } else if (const TImageList* images = item->Images()) {
        w = images->DrawWidth();
        h = images->DrawHeight();
    }
    // A margin around the image, so that it does not touch the caption.
    measure.itemWidth = static_cast<UINT>(w + 2 * Application->Scale(3));
    measure.itemHeight = static_cast<UINT>(h + Application->Scale(2));
    return true;
}

bool TMenuItem::DrawImage(const DRAWITEMSTRUCT& draw) {
    TMenuItem* item = FromCommand(draw.itemID);
    if (!item || reinterpret_cast<ULONG_PTR>(item) != draw.itemData) return false;
    const RECT& r = draw.rcItem;
    const bool enabled = !(draw.itemState & (ODS_GRAYED | ODS_DISABLED));
    if (!item->bitmap_.Empty()) {
        // Drawn at the size it has at 96 dpi, as the images of the image lists are.
        TPicture& picture = item->bitmap_;
        const int w = Application->Scale(picture.Width()), h = Application->Scale(picture.Height());
        const int x = r.left + (r.right - r.left - w) / 2;
        const int y = r.top + (r.bottom - r.top - h) / 2;
        picture.Draw(draw.hDC, {x, y, x + w, y + h});
    } else if (TImageList* images = item->Images()) {
        images->Draw(draw.hDC, r.left + (r.right - r.left - images->DrawWidth()) / 2,
                     r.top + (r.bottom - r.top - images->DrawHeight()) / 2, item->imageIndex_,
                     enabled);
    }
    return true;
}

const PropertyRegistry& TMenuItem::ClassProperties() {
    static const PropertyRegistry registry = [] {
        PropertyRegistry r("TMenuItem", &TComponent::ClassProperties());
        Registrar<TMenuItem>(r)
            .Text("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
            .Text("Hint", &TMenuItem::Hint, &TMenuItem::SetHint)
            .Boolean("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked)
            .Boolean("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem)
            .Integer("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex)
            .Boolean("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck)
            .Boolean("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled)
            .Boolean("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible)
            .Boolean("Default", &TMenuItem::Default, &TMenuItem::SetDefault)
            .Integer("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex)
            .Integer("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut)
            .Picture("Bitmap", &TMenuItem::LoadBitmap)
            .Event<TNotifyEvent>("OnClick", [](TMenuItem& m, TNotifyEvent e) { m.OnClick = e; });
        return r;
    }();
    return registry;
}

}  // namespace ui
