// The editor's marks as objects, on glimra.exe with the real mouse and keys: each
// kind drawn on a white picture, then picked with the Select tool and moved,
// resized, recoloured, brought to the front, deleted (the step numbers after it
// renumbered) and typed again, each change undone and redone. After every step
// Copy must give exactly the picture that the same marks give when drawn one by
// one straight into the pixels by the drawing code the tools have always used.
// A save writes that picture and leaves the objects editable; a pixel command
// puts them into the pixels, and one undo brings back the objects and the pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "imaging/marks.h"
#include "testing/desktop/Desktop.h"
#include "testing/desktop/MainWindowLayout.h"
#include "testing/desktop/OtherProgram.h"
#include "testing/desktop/Program.h"
#include "testing/desktop/ProgramDriving.h"
#include "testing/output/decoders.h"

namespace {

using namespace glimra::test;

constexpr const char* kCaption = "Norvanta Glimra 1.3";
constexpr COLORREF kWhite = RGB(255, 255, 255), kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);
constexpr RECT kWhiteWindow{700, 400, 900, 550};
constexpr int kWidth = 3;  // the tools' width until it is changed

glimra::Colour ColourOf(COLORREF c) {
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

glimra::Point Centre(POINT p) {
    return {p.x + 0.5, p.y + 0.5};
}

// A mark drawn straight into the pixels (and the drawing context over them).
using Mark = std::function<void(const glimra::PixelView&, HDC)>;

Mark Frame(RECT r, COLORREF colour) {
    return [=](const glimra::PixelView& v, HDC) {
        glimra::FillAreas(v, glimra::FrameBands({r.left, r.top, r.right, r.bottom}, kWidth),
                          ColourOf(colour));
    };
}
Mark Ellipse(RECT r) {
    return [=](const glimra::PixelView& v, HDC) {
        glimra::EllipseMark({r.left, r.top, r.right, r.bottom}, kWidth).Paint(v, ColourOf(kRed));
    };
}
Mark Line(POINT a, POINT b) {
    return [=](const glimra::PixelView& v, HDC) {
        glimra::LineMark(Centre(a), Centre(b), kWidth).Paint(v, ColourOf(kRed));
    };
}
Mark Arrow(POINT a, POINT b) {
    return [=](const glimra::PixelView& v, HDC) {
        glimra::ArrowMark(Centre(a), Centre(b), kWidth).Paint(v, ColourOf(kRed));
    };
}
Mark Highlight(RECT r) {
    return [=](const glimra::PixelView& v, HDC) {
        glimra::Highlight(v, {r.left, r.top, r.right, r.bottom});
    };
}
Mark Pixelate(RECT r) {
    return [=](const glimra::PixelView& v, HDC) {
        glimra::Pixelate(v, {r.left, r.top, r.right, r.bottom});
    };
}
void DrawText(HDC dc, HFONT font, const std::string& text, RECT box, COLORREF colour, UINT flags) {
    const HGDIOBJ old = ::SelectObject(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, colour);
    ::DrawTextA(dc, text.c_str(), int(text.size()), &box, flags);
    ::SelectObject(dc, old);
    ::DeleteObject(font);
    ::GdiFlush();
}
HFONT BoldTahoma(int pixelHeight) {
    return ::CreateFontA(-pixelHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                         DEFAULT_PITCH, "Tahoma");
}
// Text in the tools' font, Tahoma of 20 points, bold, its top-left corner at `at`.
Mark Text(POINT at, const std::string& text) {
    return [=](const glimra::PixelView&, HDC dc) {
        const HFONT font = BoldTahoma(::MulDiv(20, 96, 72));
        RECT box{at.x, at.y, at.x, at.y};
        const HGDIOBJ old = ::SelectObject(dc, font);
        ::DrawTextA(dc, text.c_str(), int(text.size()), &box,
                    DT_LEFT | DT_TOP | DT_NOPREFIX | DT_CALCRECT);
        ::SelectObject(dc, old);
        DrawText(dc, font, text, box, kRed, DT_LEFT | DT_TOP | DT_NOPREFIX);
    };
}
// A step number: a disc in the tools' colour with the number in white.
Mark Step(POINT c, int number) {
    return [=](const glimra::PixelView& v, HDC dc) {
        const int radius = 12 + 2 * kWidth;
        glimra::DiscMark(Centre(c), radius).Paint(v, ColourOf(kRed));
        DrawText(dc, BoldTahoma(radius * 5 / 4), std::to_string(number),
                 {c.x - radius - 1, c.y - radius - 1, c.x + radius + 2, c.y + radius + 2}, kWhite,
                 DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    };
}

// The picture with the marks drawn into it one after the other.
Pixels Drawn(const Pixels& picture, const std::vector<Mark>& marks) {
    const BITMAPINFO info = TopDownDib(picture.width, picture.height, 32);
    void* bits = nullptr;
    const HBITMAP dib = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HDC dc = ::CreateCompatibleDC(nullptr);
    const HGDIOBJ old = ::SelectObject(dc, dib);
    const glimra::PixelView v{static_cast<std::uint8_t*>(bits), picture.width, picture.height,
                              std::ptrdiff_t(picture.width) * 4, 4};
    for (int y = 0; y < v.height; ++y)
        for (int x = 0; x < v.width; ++x) {
            const COLORREF c = picture.At(x, y);
            std::uint8_t* p = v.Row(y) + x * 4;
            p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c), p[3] = 0;
        }
    for (const Mark& mark : marks) {
        mark(v, dc);
        ::GdiFlush();
    }
    Pixels drawn = picture;
    for (int y = 0; y < v.height; ++y)
        for (int x = 0; x < v.width; ++x) {
            const std::uint8_t* p = v.Row(y) + x * 4;
            drawn.colours[std::size_t(y) * drawn.width + x] = RGB(p[2], p[1], p[0]);
        }
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(dib);
    return drawn;
}

// The first pixel where two pictures differ, for the failure's message.
std::string FirstDifference(const Pixels& a, const Pixels& b) {
    if (a.width != b.width || a.height != b.height)
        return "sizes " + std::to_string(a.width) + "x" + std::to_string(a.height) + " and " +
               std::to_string(b.width) + "x" + std::to_string(b.height);
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (a.At(x, y) != b.At(x, y))
                return "at " + std::to_string(x) + "," + std::to_string(y);
    return "";
}

class Objects : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InThrowAwayPrefix()) GTEST_SKIP() << "outside the test harness's Wine prefix";
        folder = TestFolder("objects");
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
        other.SolidWindow(kWhiteWindow, kWhite);
    }
    void TearDown() override {
        if (InThrowAwayPrefix()) ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    }

    void Activate() const {
        ::SetForegroundWindow(main);
        WaitFor([&] { return ::GetForegroundWindow() == main; }, 3000);
        ::Sleep(150);
    }
    Pixels Copy() const {
        MouseAside();
        Activate();
        if (!CopyWithTheButton(main)) return {};
        return ClipboardPixels();
    }
    void Click(POINT p) const {
        MoveAndRest(PicturePoint(main, p.x, p.y));
        MouseEvent(MOUSEEVENTF_LEFTDOWN);
        MouseEvent(MOUSEEVENTF_LEFTUP);
        ::Sleep(300);
    }
    void DoubleClick(POINT p) const {
        MoveAndRest(PicturePoint(main, p.x, p.y));
        for (int i = 0; i < 2; ++i) {
            MouseEvent(MOUSEEVENTF_LEFTDOWN);
            MouseEvent(MOUSEEVENTF_LEFTUP);
        }
        ::Sleep(300);
    }
    static void CtrlAnd(WORD key) {
        KeyEvents({{VK_CONTROL, true}, {key, true}, {key, false}, {VK_CONTROL, false}});
        ::Sleep(300);
    }
    void Key(WORD key) const {
        Activate();
        PressKey(key);
        ::Sleep(200);
    }
    // Copy gives the white picture with the marks drawn into it.
    void Expect(const std::vector<Mark>& marks, const std::string& what) {
        SCOPED_TRACE(what);
        const Pixels copied = Copy();
        const Pixels expected = Drawn(white, marks);
        EXPECT_TRUE(copied == expected) << FirstDifference(copied, expected);
    }
    // The change just made, undone and redone by key.
    void UndoRedo(const std::vector<Mark>& before, const std::vector<Mark>& after,
                  const std::string& what) {
        Activate();
        CtrlAnd('Z');
        Expect(before, what + " undone");
        Activate();
        CtrlAnd('Y');
        Expect(after, what + " redone");
    }

    std::string folder;
    OtherProgram other;
    HWND main = nullptr;
    Pixels white;
};

TEST_F(Objects, EveryKindDrawn_ThenSelectedMovedResizedRecolouredDeletedAndTyped_ExactAfterEach) {
    Program program(ProgramPath(), folder);
    main = program.WaitForWindow(kCaption);
    ASSERT_NE(main, nullptr) << program.DescribeWindows();
    PassTheReminder(program, main, "");
    MouseAside();
    PressKey(VK_F10);
    HWND overlay = WaitForOverlay("CaptureControl");
    ASSERT_NE(overlay, nullptr);
    ClickAt({800, 450});
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(overlay); }, 5000));
    WaitFor([&] { return ::IsWindowVisible(main) && !::IsIconic(main); }, 5000);
    ::Sleep(400);
    white = Copy();
    ASSERT_EQ(white.width, 200) << program.DescribeWindows();

    // Each kind, checked as it comes: every mark so far, in order.
    std::vector<Mark> marks;
    const auto draw = [&](const char* what, WORD tool, const std::function<void()>& use,
                          Mark mark) {
        Key(tool);
        use();
        marks.push_back(std::move(mark));
        Expect(marks, what);
    };
    draw(
        "rectangle", 'R',
        [&] {
            DragInView(main, {10, 10}, {60, 40});
        },
        Frame({10, 10, 60, 40}, kRed));
    draw(
        "ellipse", 'E',
        [&] {
            DragInView(main, {70, 10}, {120, 50});
        },
        Ellipse({70, 10, 120, 50}));
    draw(
        "line", 'L',
        [&] {
            DragInView(main, {10, 60}, {90, 60});
        },
        Line({10, 60}, {90, 60}));
    draw(
        "arrow", 'A',
        [&] {
            DragInView(main, {10, 80}, {90, 100});
        },
        Arrow({10, 80}, {90, 100}));
    draw(
        "highlighter", 'H',
        [&] {
            DragInView(main, {100, 60}, {150, 90});
        },
        Highlight({100, 60, 150, 90}));
    draw(
        "step 1", 'N',
        [&] {
            Click({170, 25});
        },
        Step({170, 25}, 1));
    draw(
        "step 2", 'N',
        [&] {
            Click({170, 75});
        },
        Step({170, 75}, 2));
    draw(
        "text", 'T',
        [&] {
            Click({100, 105});
            KeyEvents({{VK_SHIFT, true}, {'G', true}, {'G', false}, {VK_SHIFT, false}});
            Keys({'L'});
            CtrlAnd(VK_RETURN);
        },
        Text({100, 105}, "Gl"));
    // Pixelate over the second step's disc: it hides what the objects below show.
    draw(
        "pixelate", 'P',
        [&] {
            DragInView(main, {160, 60}, {190, 95});
        },
        Pixelate({160, 60, 190, 95}));
    UndoRedo({marks.begin(), marks.end() - 1}, marks, "pixelate");
    SaveScreenshot(main, "objects-drawn");

    // The rectangle picked by its frame, and moved by 20 pixels each way by a
    // drag from inside it (its frame holds handles).
    Key('V');
    Click({11, 20});
    std::vector<Mark> before = marks;
    DragInView(main, {35, 25}, {55, 45});
    marks[0] = Frame({30, 30, 80, 60}, kRed);
    Expect(marks, "moved");
    UndoRedo(before, marks, "move");
    SaveScreenshot(main, "objects-selected");

    // Its bottom-right handle dragged out.
    before = marks;
    DragInView(main, {80, 60}, {100, 70});
    marks[0] = Frame({30, 30, 100, 70}, kRed);
    Expect(marks, "resized");
    UndoRedo(before, marks, "resize");

    // Blue from the Edit menu recolours it.
    before = marks;
    Activate();
    AltAnd('E');
    ASSERT_NE(WaitForMenu(program), nullptr);
    Keys({'L', 'B'});
    ASSERT_TRUE(MenusClosed(program));
    marks[0] = Frame({30, 30, 100, 70}, kBlue);
    Expect(marks, "recoloured");
    UndoRedo(before, marks, "recolour");

    // Brought to the front from the picture's menu: it now lies over the ellipse.
    before = marks;
    Activate();
    RightClickAt(PicturePoint(main, 60, 35));
    ASSERT_NE(WaitForMenu(program), nullptr);
    Keys({'B'});
    ASSERT_TRUE(MenusClosed(program));
    marks.push_back(marks.front());
    marks.erase(marks.begin());
    Expect(marks, "in front");
    UndoRedo(before, marks, "bring to front");

    // The first step number deleted: the second becomes 1.
    before = marks;
    Click({170, 25});
    Key(VK_DELETE);
    std::vector<Mark> renumbered;
    for (std::size_t i = 0; i < marks.size(); ++i) {
        if (i == 4) continue;  // step 1 (after the rectangle went to the front)
        renumbered.push_back(i == 5 ? Step({170, 75}, 1) : marks[i]);
    }
    marks = renumbered;
    Expect(marks, "step deleted and renumbered");
    UndoRedo(before, marks, "delete");

    // The text typed again in place: a double click, one more letter, Ctrl+Enter.
    before = marks;
    DoubleClick({108, 115});
    Keys({'X'});
    CtrlAnd(VK_RETURN);
    marks[5] = Text({100, 105}, "Glx");
    Expect(marks, "text typed again");
    UndoRedo(before, marks, "text");

    // Saved as BMP: the file holds the flattened picture; the objects stay, and
    // the rectangle, picked again, moves by a pixel with the arrow key.
    const std::string file = folder + "\\marked.bmp";
    HWND dialog = OpenSaveDialog(program, main);
    ASSERT_NE(dialog, nullptr);
    SaveInDialog(dialog, 1, file);
    ASSERT_TRUE(WaitFor([&] { return !ReadFile(file).empty(); }, 5000));
    EXPECT_TRUE(PixelsOf(DecodeBmp(ReadFile(file))) == Drawn(white, marks));
    Click({30, 50});
    Key(VK_RIGHT);
    marks.back() = Frame({31, 30, 101, 70}, kBlue);
    Expect(marks, "moved after the save");

    // Grayscale puts the marks into the pixels: the arrow key moves nothing
    // more. One undo brings back the colours and the objects, which move again.
    const Pixels coloured = Copy();
    Activate();
    ClickAt(CentreOf(main, EditButton::Grayscale));
    ::Sleep(300);
    const Pixels gray = Copy();
    for (int y = 0; y < gray.height; ++y)
        for (int x = 0; x < gray.width; ++x)
            ASSERT_TRUE(IsGray(gray.At(x, y), 0)) << x << "," << y;
    EXPECT_NE(gray.At(31, 50), kWhite) << "the frame is in the pixels";
    Key(VK_RIGHT);
    EXPECT_TRUE(Copy() == gray);
    Activate();
    CtrlAnd('Z');
    EXPECT_TRUE(Copy() == coloured);
    Key(VK_RIGHT);
    marks.back() = Frame({32, 30, 102, 70}, kBlue);
    Expect(marks, "an object again after the undo");

    // Ctrl+D lays a copy on top, 10 pixels right and down.
    before = marks;
    Activate();
    CtrlAnd('D');
    marks.push_back(Frame({42, 40, 112, 80}, kBlue));
    Expect(marks, "duplicated");
    UndoRedo(before, marks, "duplicate");

    // A drag over the whole picture picks every mark; Delete leaves it white.
    before = marks;
    DragInView(main, {199, 149}, {0, 0});
    Key(VK_DELETE);
    Expect({}, "all deleted");
    UndoRedo(before, {}, "delete all");
}

}  // namespace
