// Text: a click places the insertion point; what is typed shows in place in the
// tool font and colour, with Backspace, and Enter for a new line. Ctrl+Enter, a
// click outside the text, or choosing another tool makes it a text object over
// the picture, as one step; Escape drops it. The same typing edits a text object
// in place (MakeTextEditor).
#include <functional>
#include <string>
#include <utility>

#include "app/CurrentPicture.h"
#include "app/editor/EditorTools.h"
#include "app/editor/MarkObjects.h"
#include "app/editor/TextDrawing.h"
#include "ui/TImage.h"
#include "ui/TScrollBox.h"

namespace {

class TextTool : public Tool {
  public:
    TextTool(ToolContext& context, const ToolSettings& settings)
        : Tool(context), settings_(settings) {}
    // Edits the text object: it is hidden while its text is typed again, and
    // `done` is called once the typing ends.
    TextTool(ToolContext& context, const ToolSettings& settings, const MarkObject& editing,
             std::function<void()> done)
        : Tool(context), settings_(settings), editing_(editing), done_(std::move(done)) {
        Begin(editing);
        MarkObject hidden = editing;
        hidden.text.clear();
        context_.objects.Show({hidden});
        // The object leaves the view before the typing is drawn where it was.
        ::UpdateWindow(context_.box.Handle());
        Show();
    }

    void Press(ui::TMouseButton button, ui::TShiftState, int x, int y) override {
        if (button != ui::TMouseButton::mbLeft) return;
        if (typing_) {
            const RECT box = Box();
            if (x >= box.left && x < box.right && y >= box.top && y < box.bottom) return;
            Commit();
            return;
        }
        Begin(MarkObject::Of(MarkObject::Kind::Text, {x, y}, {x, y}, settings_));
        Show();
    }
    void Move(ui::TShiftState, int, int) override {}
    void Release(ui::TMouseButton, ui::TShiftState, int, int) override {}

    bool Key(const MSG& msg) override {
        if (!typing_) return false;
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            Erase();
            typing_ = false;
            if (editing_.id) context_.objects.Show({editing_});
            if (done_) done_();
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
    void Begin(const MarkObject& mark) {
        typing_ = true;
        mark_ = mark;
        text_ = mark.text;
        font_ = CreateToolFont(mark.font);
    }
    // The text's box in picture pixels.
    RECT Box() {
        return TextBox(context_.picture.Bitmap().Canvas().Handle(), font_.Get(), text_, mark_.a);
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
    // The text becomes an object, or the edited object's text; an edited text
    // typed away goes.
    void Commit() {
        Erase();
        typing_ = false;
        mark_.text = std::exchange(text_, std::string());
        if (!editing_.id)
            context_.objects.Add(mark_);
        else if (mark_.text.empty()) {
            // The step keeps the object as it was, not as it was hidden.
            context_.objects.Show({editing_});
            context_.objects.Remove({editing_.id});
        } else
            context_.objects.Change({mark_}, {editing_});
        if (done_) done_();
    }
    COLORREF Colour() const { return RGB(mark_.colour.red, mark_.colour.green, mark_.colour.blue); }

    const ToolSettings& settings_;
    MarkObject editing_;  // the object edited (id 0: a new text)
    std::function<void()> done_;
    MarkObject mark_;  // the text's object; its text is typed into text_
    win::Font font_;
    bool typing_ = false;
    std::string text_;
};

}  // namespace

std::unique_ptr<Tool> MakeTextTool(ToolContext& context, EditorState& state) {
    return std::make_unique<TextTool>(context, state.settings);
}

std::unique_ptr<Tool> MakeTextEditor(ToolContext& context, EditorState& state,
                                     const MarkObject& editing, std::function<void()> done) {
    return std::make_unique<TextTool>(context, state.settings, editing, std::move(done));
}
