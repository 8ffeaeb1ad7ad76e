// A tool used by one drag with the left button, from the press to the release
// pixel: a preview follows the pointer on the screen, and the release changes
// the picture. Escape during the drag ends it with nothing changed.
#pragma once

#include <windows.h>

#include "app/editor/Tool.h"
#include "app/editor/ToolSettings.h"

// The end turned around `from` to the nearest multiple of 45 degrees.
POINT OctantEnd(POINT from, POINT to);

class DragTool : public Tool {
  public:
    // What Shift held keeps the drag to: nothing, a square, or a line at a
    // multiple of 45 degrees.
    enum class WithShift { Free, Square, Octant };

    DragTool(ToolContext& context, const ToolSettings& settings,
             WithShift withShift = WithShift::Free)
        : Tool(context), settings_(settings), withShift_(withShift) {}
    void Press(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
    void Move(ui::TShiftState shift, int x, int y) override;
    void Release(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
    bool Key(const MSG& msg) override;
    void Cancel() override;

  protected:
    int Cursor() const override { return ui::crCross; }
    // The preview from one picture pixel to the other, drawn by exclusive-or on
    // the scroll box's drawing context, whose origin is picture pixel (0, 0):
    // drawn twice, it is gone. By default the dotted band of their rectangle.
    virtual void Preview(HDC dc, POINT from, POINT to) const;
    // The release: changes the picture.
    virtual void Finish(POINT from, POINT to) = 0;

    // The rectangle from one pixel to the other, right and bottom exclusive.
    static glimra::Area Between(POINT from, POINT to);
    // A pixel's centre on the picture's plane.
    static glimra::Point Centre(POINT p) { return {p.x + 0.5, p.y + 0.5}; }
    const ToolSettings& settings_;

  private:
    WithShift withShift_;
    void Show() const;
    // Where the drag ends when the pointer is at `to`, Shift held or not.
    POINT End(POINT from, POINT to, bool shift) const;

    bool dragging_ = false;
    POINT from_{}, to_{};
};
