// A button of a tool bar: image of the bar's image list, caption (under the image
// when the bar shows captions, beside it in list style), a drop-down style whose
// arrow opens DropdownMenu while the rest of the button clicks, and separators.
// A tool bar that shows a main menu makes one button per top-level item, which
// drops that item's submenu down. Buttons are light controls: the bar lays them
// out in a row and routes the mouse to them, so each gets its own enter and
// leave events.
#pragma once

#include "ui/TControl.h"

namespace ui {

class TMenuItem;
class TPopupMenu;
class TToolBar;

enum class TToolButtonStyle { tbsButton, tbsDropDown, tbsSeparator };

class TToolButton : public TGraphicControl {
  public:
    explicit TToolButton(TComponent* owner);
    ~TToolButton() override;

    TToolButtonStyle Style() const { return style_; }
    void SetStyle(TToolButtonStyle style);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    TPopupMenu* DropdownMenu() const { return dropdownMenu_; }
    void SetDropdownMenu(TPopupMenu* menu);
    // The top-level menu item whose submenu this button drops down (menu bars).
    TMenuItem* MenuItem() const { return menuItem_; }
    void SetMenuItem(TMenuItem* item);
    // Sized to its image and caption instead of the bar's button width.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);

    // The tool bar it is on, or nullptr.
    TToolBar* ToolBar() const;
    // The width the bar gives it: the bar's button width (plus the arrow of a
    // drop-down button), its own width for a separator, its content's when AutoSize.
    int ArrangedWidth() const;
    // The part at the right that opens the drop-down menu, in its own coordinates.
    RECT ArrowRect() const;
    // Shown pressed while its menu is open.
    void SetMenuOpen(bool open);
    bool MenuOpen() const { return menuOpen_; }

    void SetParent(TWinControl* parent) override;
    void SetVisible(bool visible) override;
    void SetCaption(const std::string& caption) override;
    void Click() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void Paint(HDC dc) override;

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

  protected:
    void Notification(TComponent* component, TOperation operation) override;
    void FontChanged() override;

  private:
    void Rearrange();
    void PaintFace(HDC dc, const RECT& area, bool down);
    void PaintArrow(HDC dc, bool down);

    TToolButtonStyle style_ = TToolButtonStyle::tbsButton;
    int imageIndex_ = -1;
    TPopupMenu* dropdownMenu_ = nullptr;
    TMenuItem* menuItem_ = nullptr;
    bool autoSize_ = false;
    bool hot_ = false;            // the mouse is over it
    bool pressed_ = false;        // the left button went down on its face
    bool menuOpen_ = false;       // its submenu or drop-down menu is open
    bool suppressClick_ = false;  // the release that follows was not of a press on the face
};

}  // namespace ui
