#include "ui/TApplication.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "testing/ui/TestForm.h"

namespace {

using namespace ui;
using glimra::test::TTestForm;
using glimra::test::UiTest;

using ErrorReport = UiTest;

TEST_F(ErrorReport, AnErrorOfAHandlerReachesTheReportAndTheLoopGoesOn) {
    std::vector<std::string> reports;
    application.OnException = [&](const std::string& text) { reports.push_back(text); };
    std::unique_ptr<TTestForm> form(TForm::Make<TTestForm>(&application));
    form->onTick = [&] {
        if (form->ticks == 1) throw std::runtime_error("Cannot complete the operation");
    };
    form->Timer()->SetEnabled(true);
    // The first tick throws; the later ticks still come through the same loop.
    ASSERT_TRUE(RunUntil([&] { return form->ticks >= 3; }));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "Cannot complete the operation");

    // The same for a handler of a window message.
    form->onClose = [] { throw std::runtime_error("closing failed"); };
    ::PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(RunUntil([&] { return reports.size() == 2; }));
    EXPECT_EQ(reports[1], "closing failed");
    EXPECT_TRUE(::IsWindow(form->Handle()));
}

TEST_F(ErrorReport, ErrorsThatAreNotStandardExceptionsAreReportedToo) {
    std::string report;
    application.OnException = [&](const std::string& text) { report = text; };
    Guarded([] { throw 42; });
    EXPECT_FALSE(report.empty());
}

using Modal = UiTest;

TEST_F(Modal, ShowModalRunsUntilAResultIsSetAndDisablesTheOtherForms) {
    std::unique_ptr<TTestForm> other(TForm::Make<TTestForm>(&application));
    std::unique_ptr<TTestForm> dialog(TForm::Make<TTestForm>(&application));
    bool otherWasDisabled = false;
    dialog->onTick = [&] {
        otherWasDisabled = !::IsWindowEnabled(other->Handle());
        dialog->SetModalResult(mrOk);
    };
    dialog->Timer()->SetEnabled(true);
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_TRUE(otherWasDisabled);
    EXPECT_TRUE(::IsWindowEnabled(other->Handle()));
    EXPECT_FALSE(::IsWindowVisible(dialog->Handle()));
}

TEST_F(Modal, TheDestroyEventRunsWhileTheWholeFormStands) {
    // Freed directly, through a unique_ptr, and by its owner.
    TTestForm::destroyedWhole = -1;
    TComponent::Free(TForm::Make<TTestForm>(&application));
    EXPECT_EQ(TTestForm::destroyedWhole, 1);
    TTestForm::destroyedWhole = -1;
    { std::unique_ptr<TTestForm, FreeComponent> form(TForm::Make<TTestForm>(&application)); }
    EXPECT_EQ(TTestForm::destroyedWhole, 1);
    TTestForm::destroyedWhole = -1;
    {
        TComponent owner(nullptr);
        TForm::Make<TTestForm>(&owner);
    }
    EXPECT_EQ(TTestForm::destroyedWhole, 1);
}

TEST_F(Modal, TheCursorTableHoldsTheSystemCursorsAndNumberedOnes) {
    EXPECT_EQ(application.Cursors(crHourGlass), ::LoadCursorA(nullptr, IDC_WAIT));
    HCURSOR cross = ::LoadCursorA(nullptr, IDC_CROSS);
    application.SetCursors(5, cross);
    EXPECT_EQ(application.Cursors(5), cross);
    // An unknown number gives the default cursor, never nothing.
    EXPECT_EQ(application.Cursors(77), ::LoadCursorA(nullptr, IDC_ARROW));
}

}  // namespace
