#include "ui/LayoutLoader.h"

#include <gtest/gtest.h>

#include <memory>

#include "testing/ui/TestForm.h"

namespace {

using namespace ui;
using glimra::test::TTestForm;
using glimra::test::UiTest;

using LayoutLoader = UiTest;

TEST_F(LayoutLoader, BuildsTheFormFromItsLayout) {
    std::unique_ptr<TTestForm> form(TForm::Make<TTestForm>(&application));
    EXPECT_EQ(form->created, 1);
    EXPECT_EQ(form->Name(), "TestForm");
    EXPECT_EQ(form->Caption(), "Layout test");
    EXPECT_FALSE(form->Visible());
    char text[64] = {};
    ::GetWindowTextA(form->Handle(), text, sizeof text);
    EXPECT_STREQ(text, "Layout test");
    EXPECT_EQ(form->ClientWidth(), 300);
    EXPECT_EQ(form->ClientHeight(), 200);
    RECT r;
    ::GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    const LONG style = ::GetWindowLongA(form->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);

    TTimer* timer = form->Timer();
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->Owner(), form.get());
    EXPECT_FALSE(timer->Enabled());
    EXPECT_EQ(timer->Interval(), 20u);
    timer->SetEnabled(true);
    EXPECT_TRUE(RunUntil([&] { return form->ticks >= 2; }));
}

TEST_F(LayoutLoader, ReportsWhatItCannotApply) {
    auto errorOf = [&](const char* text) {
        TTestForm form(&application);
        try {
            layout::Apply(
                form, [&](const std::string& name) { return form.FindHandler(name); },
                layout::Parse(text), "sample");
        } catch (const layout::LayoutError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(errorOf("object F: TTestForm\n  Caption = 'x'\nend"), "no error");
    EXPECT_NE(errorOf("object F: TTestForm\n  Colour = 1\nend").find("sample line 2"),
              std::string::npos);
    EXPECT_NE(errorOf("object F: TTestForm\n  Colour = 1\nend").find("no property 'Colour'"),
              std::string::npos);
    EXPECT_NE(errorOf("object F: TTestForm\n object X: TNothing\n end\nend").find("TNothing"),
              std::string::npos);
    EXPECT_NE(errorOf("object F: TTestForm\n  OnCreate = Missing\nend").find("no handler Missing"),
              std::string::npos);
    EXPECT_NE(errorOf("object F: TTestForm\n  OnCreate = Timer1Timer\n  OnClose = FormCreate\nend")
                  .find("wrong type"),
              std::string::npos);
    EXPECT_NE(errorOf("object F: TTestForm\n  Caption = 12\nend").find("quoted text"),
              std::string::npos);
    EXPECT_NE(errorOf("object F: TTestForm\n  Position = poNowhere\nend").find("poNowhere"),
              std::string::npos);
    EXPECT_NE(errorOf("object F: TTestForm\n  Visible = Maybe\nend").find("True or False"),
              std::string::npos);
}

}  // namespace
