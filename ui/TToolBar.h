// A tool bar: a window that lays its tool buttons out in a row (after an indent,
// each ButtonWidth x ButtonHeight), draws its background flat or as a vertical
// gradient, and takes its buttons' images from an image list. Given a main menu
// (Menu) it becomes the window's menu bar: one button per top-level item, each
// dropping its submenu down (see ToolBarMenus.h).
#pragma once

#include <vector>

#include "ui/TWinControl.h"

namespace ui {

class TImageList;
class TMainMenu;
class TToolButton;

enum class TTBDrawingStyle { dsNormal, dsGradient };
enum TEdgeBorder : unsigned { ebLeft = 1, ebTop = 2, ebRight = 4, ebBottom = 8 };

class TToolBar : public TWinControl {
  public:
    explicit TToolBar(TComponent* owner);
    ~TToolBar() override;

    int ButtonWidth() const { return buttonWidth_; }
    void SetButtonWidth(int width);
    int ButtonHeight() const { return buttonHeight_; }
    void SetButtonHeight(int height);
    int Indent() const { return indent_; }
    void SetIndent(int indent);
    bool ShowCaptions() const { return showCaptions_; }
    void SetShowCaptions(bool show);
    // Images beside the captions instead of above them.
    bool List() const { return list_; }
    void SetList(bool list);
    // Buttons show a face only under the mouse or when pressed.
    bool Flat() const { return flat_; }
    void SetFlat(bool flat);
    // The sides that carry an etched edge; none unless set.
    unsigned EdgeBorders() const { return edgeBorders_; }
    void SetEdgeBorders(unsigned edges);
    TTBDrawingStyle DrawingStyle() const { return drawingStyle_; }
    void SetDrawingStyle(TTBDrawingStyle style);
    TColor GradientStartColor() const { return gradientStart_; }
    void SetGradientStartColor(TColor colour);
    TColor GradientEndColor() const { return gradientEnd_; }
    void SetGradientEndColor(TColor colour);
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images);
    // The main menu shown as the bar's buttons; setting it (again) makes the
    // buttons anew from the items' current captions and states.
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);

    // The tool buttons, in their order on the bar.
    int ButtonCount() const;
    TToolButton* Buttons(int index) const;
    // The visible button at a client point, or nullptr.
    TToolButton* ButtonAt(POINT client) const;
    // Lays the buttons out again (their sizes or the bar's settings changed).
    void ArrangeButtons();
    // One of its buttons has its menu open.
    bool ShowsMenu() const;
    // The font the buttons' captions are drawn with.
    HFONT ButtonFont() { return FontHandle(); }

    // Opens the submenu of a menu button, the drop-down menu of a drop-down button.
    void TrackMenu(TToolButton* button, bool byKeyboard = false);
    void ShowDropdown(TToolButton* button);

    void AdoptChild(TComponent* child) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

  protected:
    void Notification(TComponent* component, TOperation operation) override;

  private:
    void PaintBackground(HDC dc);
    RECT ButtonArea() const;
    void ClearMenuButtons();

    int buttonWidth_, buttonHeight_;
    int indent_ = 0;
    bool showCaptions_ = false, list_ = false, flat_ = true;
    unsigned edgeBorders_ = 0;
    TTBDrawingStyle drawingStyle_ = TTBDrawingStyle::dsNormal;
    TColor gradientStart_ = clWindow, gradientEnd_ = clBtnFace;
    TImageList* images_ = nullptr;
    TMainMenu* menu_ = nullptr;
    std::vector<TToolButton*> menuButtons_;  // made for the menu's items; ours
    bool arranging_ = false;
};

}  // namespace ui
