// What the mouse does on the picture: a tool. One tool is active at a time
// (PictureTools chooses it); panning is the default. A tool draws its preview or
// band on the screen only, never into the picture, and a finished use changes
// the picture as one step of the history that keeps only what it changed.
#pragma once

#include <windows.h>

#include "ui/TControl.h"

class CurrentPicture;
class History;
class MarkObjects;
namespace ui {
class TImage;
class TScrollBox;
}  // namespace ui

// What a tool works on: the picture, its history, the marks over it, and the
// view that shows it (the image inside its scroll box).
struct ToolContext {
    CurrentPicture& picture;
    History& history;
    MarkObjects& objects;
    ui::TImage& image;
    ui::TScrollBox& box;

    // The rectangle of picture pixels from one corner to the other (in either
    // order), drawn on the screen as a dotted band by exclusive-or: drawn twice, it
    // is gone.
    void DrawBand(RECT corners) const;
    // Picture pixel (0, 0) in the scroll box's client area, where tools draw their
    // previews.
    POINT Origin() const;
};

class Tool {
  public:
    explicit Tool(ToolContext& context) : context_(context) {}
    virtual ~Tool() = default;
    Tool(const Tool&) = delete;
    Tool& operator=(const Tool&) = delete;

    // The tool has just been chosen, and the mouse enters the view: by default
    // both show the tool's cursor.
    virtual void Chosen() { ShowCursor(); }
    virtual void Enter() { ShowCursor(); }
    // The mouse on the view, at picture pixel (x, y); a button held on the view
    // keeps the mouse, so a drag may go on outside it.
    virtual void Press(ui::TMouseButton button, ui::TShiftState shift, int x, int y) = 0;
    virtual void Move(ui::TShiftState shift, int x, int y) = 0;
    virtual void Release(ui::TMouseButton button, ui::TShiftState shift, int x, int y) = 0;
    // A key message while the main window is active: true when the tool used it.
    // Escape ends a use in progress.
    virtual bool Key(const MSG&) { return false; }
    // Another tool is chosen: a use in progress ends.
    virtual void Cancel() {}
    // Text is being typed: the keys are the text's, not the window's shortcuts.
    virtual bool TakesText() const { return false; }

  protected:
    // The view's cursor for this tool.
    virtual int Cursor() const = 0;
    void ShowCursor();
    ToolContext& context_;
};
