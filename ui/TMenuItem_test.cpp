#include "ui/TMenuItem.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "testing/ui/MenuTestForm.h"
#include "ui/MenuWindow.h"
#include "ui/TImageList.h"

namespace {

using namespace ui;
using glimra::test::EntryInfo;
using glimra::test::EntryText;
using glimra::test::MenuTest;

using MenuItems = MenuTest;

TEST_F(MenuItems, TheLayoutBuildsNativeMenusWithTextsStatesAndShortcuts) {
    auto* menu = form->Find<TMainMenu>("MainMenu1");
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->Items()->Count(), 5);
    EXPECT_EQ(menu->Items()->Items(0), form->Item("MenuFile"));
    EXPECT_EQ(form->Item("MenuExit")->Parent(), form->Item("MenuFile"));
    EXPECT_EQ(form->Item("MenuExit")->GetParentMenu(), menu);

    HMENU file = form->Item("MenuFile")->Handle();
    ASSERT_EQ(::GetMenuItemCount(file), 3);
    EXPECT_EQ(EntryText(file, 0), "Save &As...");
    EXPECT_TRUE(EntryInfo(file, 0).fState & MFS_GRAYED);
    EXPECT_TRUE(EntryInfo(file, 1).fType & MFT_SEPARATOR);
    EXPECT_EQ(EntryText(file, 2), "E&xit");
    EXPECT_FALSE(EntryInfo(file, 2).fState & MFS_GRAYED);
    EXPECT_EQ(EntryInfo(file, 2).wID, form->Item("MenuExit")->Command());

    HMENU capture = form->Item("MenuCapture")->Handle();
    EXPECT_EQ(EntryText(capture, 0), "Desktop\tF7");
    EXPECT_EQ(EntryText(capture, 1), "Selection\tCtrl+F9");

    // The hidden item has no entry; the disabled submenu is there, greyed.
    HMENU view = form->Item("MenuView")->Handle();
    ASSERT_EQ(::GetMenuItemCount(view), 2);
    EXPECT_TRUE(EntryInfo(view, 0).fState & MFS_CHECKED);
    EXPECT_EQ(EntryInfo(view, 1).hSubMenu, form->Item("MenuRotate")->Handle());
    EXPECT_TRUE(EntryInfo(view, 1).fState & MFS_GRAYED);
    // An item without children opens no submenu.
    EXPECT_EQ(EntryInfo(form->Item("MenuConfig")->Handle(), 1).hSubMenu, nullptr);

    // The default item of the tray menu, drawn in bold.
    HMENU tray = form->Find<TPopupMenu>("PopupMenu1")->Handle();
    EXPECT_EQ(::GetMenuDefaultItem(tray, TRUE, 0), 2u);
    EXPECT_EQ(EntryText(tray, 2), "Main Window");

    // Items with an image of the menu's list are drawn by the menu window.
    HMENU rotate = form->Find<TPopupMenu>("PopupMenu2")->Handle();
    EXPECT_EQ(EntryInfo(rotate, 0).hbmpItem, HBMMENU_CALLBACK);
    EXPECT_EQ(EntryInfo(rotate, 2).hbmpItem, nullptr);  // the separator
    EXPECT_EQ(EntryInfo(tray, 0).hbmpItem, nullptr);    // a menu without images
}

TEST_F(MenuItems, EveryChangeReachesTheNativeMenu) {
    TMenuItem* exit = form->Item("MenuExit");
    HMENU file = form->Item("MenuFile")->Handle();
    exit->SetCaption("&Quit");
    exit->SetShortCut(scAlt | VK_F4);
    EXPECT_EQ(EntryText(file, 2), "&Quit\tAlt+F4");
    exit->SetEnabled(false);
    EXPECT_TRUE(EntryInfo(file, 2).fState & MFS_GRAYED);
    form->Item("MenuSaveAs")->SetEnabled(true);
    EXPECT_FALSE(EntryInfo(file, 0).fState & MFS_GRAYED);
    form->Item("N1")->SetVisible(false);
    ASSERT_EQ(::GetMenuItemCount(file), 2);
    EXPECT_EQ(EntryText(file, 1), "&Quit\tAlt+F4");
    form->Item("N1")->SetVisible(true);
    EXPECT_EQ(::GetMenuItemCount(file), 3);

    // One default item per menu.
    TMenuItem* exitTray = form->Item("TrayExit");
    exitTray->SetDefault(true);
    HMENU tray = form->Find<TPopupMenu>("PopupMenu1")->Handle();
    EXPECT_EQ(::GetMenuDefaultItem(tray, TRUE, 0), 3u);
    EXPECT_FALSE(form->Item("TrayMainWindow")->Default());

    // Taking the image list away leaves the items without images.
    auto* popup = form->Find<TPopupMenu>("PopupMenu2");
    popup->SetImages(nullptr);
    EXPECT_EQ(EntryInfo(popup->Handle(), 0).hbmpItem, nullptr);
    popup->SetImages(form->Find<TImageList>("ImageList1"));
    EXPECT_EQ(EntryInfo(popup->Handle(), 0).hbmpItem, HBMMENU_CALLBACK);
    // ... and so does destroying it.
    delete form->Find<TImageList>("ImageList1");
    EXPECT_EQ(popup->Images(), nullptr);
    EXPECT_EQ(EntryInfo(popup->Handle(), 0).hbmpItem, nullptr);
}

// Entries made at run time, as the language component makes them: no owner,
// no name, inserted at positions, removed and destroyed again.
TEST_F(MenuItems, ItemsMadeAtRunTimeBelongToTheirParent) {
    TMenuItem* language = form->Item("MenuLanguage");
    HMENU config = form->Item("MenuConfig")->Handle();
    auto* english = new TMenuItem(nullptr);
    english->SetCaption("English");
    auto* deutsch = new TMenuItem(nullptr);
    deutsch->SetCaption("Deutsch");
    language->Insert(0, deutsch);
    language->Insert(0, english);
    // The entry of the language menu now opens the two items.
    HMENU languages = EntryInfo(config, 1).hSubMenu;
    ASSERT_EQ(languages, language->Handle());
    ASSERT_EQ(::GetMenuItemCount(languages), 2);
    EXPECT_EQ(EntryText(languages, 0), "English");
    EXPECT_EQ(EntryText(languages, 1), "Deutsch");
    EXPECT_EQ(language->IndexOf(deutsch), 1);

    // Destroying an item takes it out of the menu.
    const UINT englishCommand = english->Command();
    delete english;
    EXPECT_EQ(TMenuItem::FromCommand(englishCommand), nullptr);
    ASSERT_EQ(::GetMenuItemCount(languages), 1);
    EXPECT_EQ(EntryText(languages, 0), "Deutsch");

    // A picture in front of the caption is drawn by the menu window, at its size
    // and a small margin.
    deutsch->Bitmap().LoadFromResource("NOFLAG");
    EXPECT_EQ(EntryInfo(languages, 0).hbmpItem, HBMMENU_CALLBACK);
    MEASUREITEMSTRUCT measure{ODT_MENU, 0, deutsch->Command(),
                              0,        0, reinterpret_cast<ULONG_PTR>(deutsch)};
    EXPECT_TRUE(
        ::SendMessageA(MenuWindow(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)));
    const auto size = static_cast<UINT>(application.Scale(16));
    EXPECT_GE(measure.itemWidth, size);
    EXPECT_LE(measure.itemWidth, size + static_cast<UINT>(application.Scale(8)));
    EXPECT_GE(measure.itemHeight, size);

    // Taken out without being destroyed, and given back.
    language->Delete(0);
    EXPECT_EQ(deutsch->Parent(), nullptr);
    EXPECT_EQ(::GetMenuItemCount(languages), 0);
    EXPECT_EQ(EntryInfo(config, 1).hSubMenu, nullptr);  // no children: no submenu
    language->Add(deutsch);
    EXPECT_EQ(::GetMenuItemCount(languages), 1);

    // An item in a menu, the item itself or one of its parents cannot be put in again.
    EXPECT_THROW(form->Item("MenuFile")->Add(deutsch), std::invalid_argument);
    EXPECT_THROW(deutsch->Add(form->Find<TMainMenu>("MainMenu1")->Items()), std::invalid_argument);
    auto* loose = new TMenuItem(nullptr);
    EXPECT_THROW(loose->Add(loose), std::invalid_argument);
    EXPECT_THROW(language->Insert(5, loose), std::out_of_range);

    // A parent destroys the items still under it, and their submenus.
    auto* child = new TMenuItem(nullptr);
    auto* grandchild = new TMenuItem(nullptr);
    loose->Add(child);
    child->Add(grandchild);
    HMENU childMenu = child->Handle();
    const UINT grandchildCommand = grandchild->Command();
    ASSERT_TRUE(::IsMenu(childMenu));
    delete loose;
    EXPECT_FALSE(::IsMenu(childMenu));
    EXPECT_EQ(TMenuItem::FromCommand(grandchildCommand), nullptr);
}

TEST_F(MenuItems, CheckingARadioItemUnchecksTheOthersOfItsGroup) {
    TMenuItem* d1 = form->Item("ImagePopD1");
    TMenuItem* d2 = form->Item("ImagePopD2");
    TMenuItem* d3 = form->Item("ImagePopD3");
    TMenuItem* more = form->Item("ImagePopMore");    // same parent, group 3
    TMenuItem* black = form->Item("ImagePopBlack");  // group 1 of another submenu
    HMENU diameter = form->Item("ImagePopDiameter")->Handle();
    EXPECT_TRUE(EntryInfo(diameter, 0).fType & MFT_RADIOCHECK);
    EXPECT_TRUE(EntryInfo(diameter, 0).fState & MFS_CHECKED);

    d3->SetChecked(true);
    EXPECT_FALSE(d1->Checked());
    EXPECT_FALSE(d2->Checked());
    EXPECT_TRUE(d3->Checked());
    EXPECT_TRUE(more->Checked());
    EXPECT_TRUE(black->Checked());
    EXPECT_FALSE(EntryInfo(diameter, 0).fState & MFS_CHECKED);
    EXPECT_TRUE(EntryInfo(diameter, 2).fState & MFS_CHECKED);
    EXPECT_TRUE(EntryInfo(diameter, 3).fState & MFS_CHECKED);

    // Unchecking leaves the group without a checked item; checking a plain item
    // touches nobody else.
    d3->SetChecked(false);
    EXPECT_FALSE(d1->Checked() || d2->Checked() || d3->Checked());
    form->Item("MenuToolBar")->SetChecked(false);
    form->Item("MenuExit")->SetChecked(true);
    EXPECT_FALSE(form->Item("MenuToolBar")->Checked());

    // A click on an auto-check radio item checks it (a second click keeps it);
    // one on a plain auto-check item flips it.
    d1->SetChecked(true);
    d2->Click();
    EXPECT_TRUE(d2->Checked());
    EXPECT_FALSE(d1->Checked());
    d2->Click();
    EXPECT_TRUE(d2->Checked());
    TMenuItem* toolbar = form->Item("MenuToolBar");
    toolbar->Click();
    EXPECT_TRUE(toolbar->Checked());
    toolbar->Click();
    EXPECT_FALSE(toolbar->Checked());
    EXPECT_FALSE(EntryInfo(form->Item("MenuView")->Handle(), 0).fState & MFS_CHECKED);
}

using MenuCommands = MenuTest;

TEST_F(MenuCommands, TheCommandOfAChosenItemRunsItsClick) {
    TMenuItem* exit = form->Item("MenuExit");
    ::SendMessageA(MenuWindow(), WM_COMMAND, MAKEWPARAM(exit->Command(), 0), 0);
    ASSERT_EQ(form->events, std::vector<std::string>{"click:MenuExit"});
    // Commands of no item, and notifications of controls, are not clicks.
    ::SendMessageA(MenuWindow(), WM_COMMAND, MAKEWPARAM(0xFFFF, 0), 0);
    ::SendMessageA(MenuWindow(), WM_COMMAND, MAKEWPARAM(exit->Command(), BN_CLICKED),
                   reinterpret_cast<LPARAM>(form->Handle()));
    EXPECT_EQ(form->events.size(), 1u);

    // A posted command runs through the loop; an error of its handler reaches the
    // application's report, and the loop goes on.
    std::string report;
    application.OnException = [&](const std::string& text) { report = text; };
    form->onItemClick = [] { throw std::runtime_error("Cannot complete the operation"); };
    ::PostMessageA(MenuWindow(), WM_COMMAND, MAKEWPARAM(form->Item("TrayExit")->Command(), 0), 0);
    ASSERT_TRUE(RunUntil([&] { return !report.empty(); }));
    EXPECT_EQ(report, "Cannot complete the operation");
    EXPECT_EQ(form->events.back(), "click:TrayExit");
}

TEST_F(MenuCommands, ChoosingAnItemOfAnOpenPopupMenuClicksIt) {
    auto* tray = form->Find<TPopupMenu>("PopupMenu1");
    RECT area{};
    WhenMenuOpen([&] {
        ::GetWindowRect(OpenMenuWindow(), &area);
        SaveScreenshot(area, "tray-menu");
        // Down, down (over the separator), Enter: "Main Window".
        for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN})
            ::PostMessageA(OpenMenuWindow(), WM_KEYDOWN, key, 0);
        return true;
    });
    tray->Popup(200, 150);
    ASSERT_TRUE(MenuStepDone());
    EXPECT_EQ(area.left, 200);
    EXPECT_EQ(area.top, 150);
    ASSERT_TRUE(RunUntil([&] { return form->events.size() >= 2; }));
    EXPECT_EQ(form->events, (std::vector<std::string>{"popup:PopupMenu1", "click:TrayMainWindow"}));
}

}  // namespace
