// A control with a window of its own: it owns the HWND, holds child controls,
// lays out aligned children, paints its light children and routes mouse input
// to them. Every window procedure of the program runs through WndProc here, and
// no exception leaves it: an escaping error goes to the application's report.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/TControl.h"
#include "win/handles.h"

namespace ui {

// Notifications of a child control (WM_COMMAND, WM_NOTIFY, WM_CTLCOLORSTATIC,
// WM_CTLCOLORBTN) are sent back to the child's own WndProc as kReflected + the
// message.
constexpr UINT kReflected = 0xBC00;

struct TCreateParams {
    std::string className = "GlimraWindow";  // a registered class, or a system one
    std::string caption;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;
    HWND parent = nullptr;  // parent, or owner of a top-level window
};

class THintWindow;

// While a RepaintHold lives on a thread, the areas that its controls mark for
// repainting are gathered per window and marked once, when the last hold ends: a
// change of many texts at once (a new language) then asks the system for one repaint
// per window instead of one for every moved or changed control. Only the marking
// waits; sizes and positions change at once.
class RepaintHold {
  public:
    RepaintHold();
    ~RepaintHold();
    RepaintHold(const RepaintHold&) = delete;
    RepaintHold& operator=(const RepaintHold&) = delete;
};

class TWinControl : public TControl {
  public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // The window, made on first use (with the parents' windows before it).
    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    // Makes the windows of this control and of every windowed child.
    void HandleNeeded();

    const std::vector<TControl*>& Controls() const { return controls_; }
    void AdoptChild(TComponent* child) override;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);

    // Space inside the client area that aligned children keep free.
    const RECT& Padding() const { return padding_; }
    void SetPadding(LONG RECT::*side, int pixels);

    int ClientWidth() const;
    int ClientHeight() const;
    RECT ClientRect() const;
    // Lays out the aligned children in the client area: top, bottom, left, right,
    // then client, each group in child order.
    virtual void Realign();
    // Repaints a part of the client area given in the children's coordinates.
    void InvalidateArea(const RECT& area);
    // Marks the frame (the window's scroll bars) for the next paint, the client
    // area not; under a RepaintHold when the last hold ends.
    void InvalidateFrame();
    // Paints what the client area shows at `area` (background and light
    // children) into `dc`, whose origin is the top-left corner of `area`: the
    // backdrop of a transparent child window.
    void PaintBehind(const RECT& area, HDC dc);
    // How far the content is scrolled: children keep their positions and are
    // shown shifted up and left by this much.
    POINT ScrollOffset() const { return scroll_; }

    // Keyboard navigation: the place among the parent's windowed children that
    // the Tab key visits in turn, and whether the Tab key stops here at all.
    int TabOrder() const;
    void SetTabOrder(int order);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool tabStop);
    // A dialog key (Enter) pressed in the form: true when a control acted on it.
    // The base passes it to the windowed children in turn.
    virtual bool DialogKey(WPARAM key);

    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    void SetCaption(const std::string& caption) override;
    void Invalidate() override;
    bool IsWindowed() const override { return true; }

    // Window message handling; derived classes extend it and pass the rest on.
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The control that owns a window of this thread's, or nullptr.
    static TWinControl* FromHandle(HWND window);
    // Whether each paint draws the background too (into its buffer), so that the
    // system's erase before it is not needed: a window of ours with a colour.
    bool PaintsItsBackground() const { return !systemProc_ && Color() != clNone; }

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

  protected:
    // The part of the client area where aligned children go (before Padding).
    virtual void AdjustClientRect(RECT&) const {}
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWnd();
    virtual void DestroyWnd();
    // Called once the window exists (fonts, texts, states that need it).
    virtual void WindowCreated() {}
    // Paints the window's own content over the background (WM_ERASEBKGND).
    virtual void PaintWindow(HDC dc);
    void PaintControls(HDC dc, const RECT& area);
    void FontChanged() override;
    void BoundsChanged(const RECT& old) override;
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);
    // A layout of the children is under way (a child that moves asks for one).
    bool Realigning() const { return realigning_; }
    // The light child at a client point (topmost first), or nullptr.
    TControl* ControlAt(int x, int y) const;
    HFONT FontHandle();
    // Paints the part of the client area that waits for a paint at once, as
    // WM_PAINT would, and marks it painted.
    void PaintUpdateNow();

  private:
    friend LRESULT CALLBACK GlimraWindowProc(HWND, UINT, WPARAM, LPARAM);
    void RouteMouse(UINT message, WPARAM wParam, LPARAM lParam);
    // Paints a part of the client area: background, content, light children.
    void PaintBuffered(HDC dc, const RECT& area);
    void SetHovered(TControl* control);
    void RealignControls(RECT& area, TAlign which);
    // Puts a child's window after the one before it in the tab order.
    void PlaceInTabOrder(TWinControl* child);

    HWND handle_ = nullptr;
    WNDPROC systemProc_ = nullptr;  // original procedure of a system window class
    std::vector<TControl*> controls_;
    win::Font font_;  // made from Font() when first needed
    RECT padding_{0, 0, 0, 0};
    TControl* hovered_ = nullptr;   // control under the mouse (this or a light child)
    TControl* captured_ = nullptr;  // light child that got the button press
    bool tracking_ = false;
    bool realigning_ = false;
    bool tabStop_ = false;
    std::vector<TWinControl*> tabList_;  // windowed children in tab order
    std::unique_ptr<THintWindow> hints_;
    bool held_ = false;       // on the list of a RepaintHold, with the area below
    RECT heldArea_{};         // client coordinates of the window
    bool heldFrame_ = false;  // and the frame (the scroll bars) with it
    friend class RepaintHold;

  protected:
    POINT scroll_{0, 0};
};

}  // namespace ui
