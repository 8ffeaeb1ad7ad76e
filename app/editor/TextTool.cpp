// Text: a click places the insertion point; what is typed shows in place in the
// tool font and colour, with Backspace, and Enter for a new line. Ctrl+Enter, a
// click outside the text, or choosing another tool puts it into the picture as
// one step; Escape drops it.
#include <string>

#include "app/CurrentPicture.h"
#include "app/editor/EditorTools.h"
#include "app/History.h"
#include "app/editor/TextDrawing.h"
#include "ui/TImage.h"
#include "ui/TScrollBox.h"

namespace {

class TextTool : public Tool {
  public:
    TextTool(ToolContext& context, const ToolSettings& settings)
        : Tool(context), settings_(settings), font_(CreateToolFont(settings.Font())) {}

    void Press(ui::TMouseButton button, ui::TShiftState, int x, int y) override {
        if (button != ui::TMouseButton::mbLeft) return;
        if (typing_) {
            const RECT box = Box();
            if (x >= box.left && x < box.right && y >= box.top && y < box.bottom) return;
            Commit();
            return;
        }
        typing_ = true;
        at_ = {x, y};
        text_.clear();
        Show();
    }
    void Move(ui::TShiftState, int, int) override {}
    void Release(ui::TMouseButton, ui::TShiftState, int, int) override {}

    bool Key(const MSG& msg) override {
        if (!typing_) return false;
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            Erase();
            typing_ = false;
            return true;
        }
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && ::GetKeyState(VK_CONTROL) < 0) {
            Commit();
            return true;
        }
        // Every other key goes on to become its character.
        if (msg.message != WM_CHAR) return false;
        const char c = char(msg.wParam);
        if (c == '\b') {
            if (text_.empty()) return true;
            Erase();
            text_.pop_back();
        } else if (c == '\r' || static_cast<unsigned char>(c) >= 32) {
            Erase();
            text_.push_back(c == '\r' ? '\n' : c);
        } else {
            return true;
        }
        Show();
        return true;
    }
    // Choosing another tool keeps what was typed.
    void Cancel() override {
        if (typing_) Commit();
    }
    bool TakesText() const override { return typing_; }

  protected:
    int Cursor() const override { return ui::crIBeam; }

  private:
    // The text's box in picture pixels.
    RECT Box() {
        return TextBox(context_.picture.Bitmap().Canvas().Handle(), font_.Get(), text_, at_);
    }
    // The box on the screen: picture pixels moved to the scroll box's client area.
    RECT ScreenBox() {
        RECT box = Box();
        const POINT origin = context_.Origin();
        ::OffsetRect(&box, origin.x, origin.y);
        return box;
    }
    // The text and a caret after its last line, drawn over the picture on the
    // screen only.
    void Show() {
        const RECT box = ScreenBox();
        win::WindowDC dc = win::WindowDC::Of(context_.box.Handle());
        DrawToolText(dc.Get(), font_.Get(), text_, box, Colour());
        const int lineHeight = TextBox(dc.Get(), font_.Get(), "", {0, 0}).bottom;
        const std::string last =
            text_.substr(text_.rfind('\n') == std::string::npos ? 0 : text_.rfind('\n') + 1);
        const RECT lastBox = TextBox(dc.Get(), font_.Get(), last, {0, 0});
        const int x = box.left + (last.empty() ? 0 : lastBox.right);
        const RECT caret{x, box.bottom - lineHeight, x + 1, box.bottom};
        ::InvertRect(dc.Get(), &caret);
    }
    // The view paints the picture again where the preview was.
    void Erase() {
        RECT box = ScreenBox();
        box.right += 2;
        ::InvalidateRect(context_.box.Handle(), &box, FALSE);
        ::UpdateWindow(context_.box.Handle());
    }
    void Commit() {
        Erase();
        typing_ = false;
        if (text_.empty()) return;
        const RECT box = Box();
        context_.history.KeepArea(box);
        context_.picture.Change([&](ui::TBitmap& bitmap) {
            DrawToolText(bitmap.Canvas().Handle(), font_.Get(), text_, box, Colour());
            ::GdiFlush();
        });
        text_.clear();
    }
    COLORREF Colour() const {
        const glimra::Colour c = settings_.Colour();
        return RGB(c.red, c.green, c.blue);
    }

    const ToolSettings& settings_;
    win::Font font_;
    bool typing_ = false;
    POINT at_{};
    std::string text_;
};

}  // namespace

std::unique_ptr<Tool> MakeTextTool(ToolContext& context, EditorState& state) {
    return std::make_unique<TextTool>(context, state.settings);
}
