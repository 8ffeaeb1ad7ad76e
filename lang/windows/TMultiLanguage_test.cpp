// The language component with the program's own windows and real language files
// on disk: the language menu, loading and applying, and what must stay untouched.
#include "lang/windows/TMultiLanguage.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "testing/app/OpenWindowTexts.h"
#include "testing/app/ProgramForms.h"
#include "testing/desktop/Desktop.h"
#include "testing/desktop/Program.h"
#include "ui/TControl.h"
#include "ui/TForm.h"
#include "ui/TMenuItem.h"
#include "ui/TToolBar.h"
#include "ui/TToolButton.h"

namespace {

using glimra::test::OpenWindowTexts;
using glimra::test::TextsOfOpenWindows;
using ::testing::ElementsAre;
using ui::TControl;
using ui::TMenuItem;

// A component with a string list, like a colour dialog's custom colours.
class TLinesHolder : public ui::TComponent {
  public:
    using ui::TComponent::TComponent;
    std::vector<std::string> items;
    const std::vector<std::string>& Items() const { return items; }
    void SetItems(const std::vector<std::string>& lines) { items = lines; }
    const ui::PropertyRegistry& Properties() const override {
        static const ui::PropertyRegistry registry = [] {
            ui::PropertyRegistry r("TLinesHolder", &ui::TComponent::ClassProperties());
            ui::Registrar<TLinesHolder>(r).Lines("Items", &TLinesHolder::Items,
                                                 &TLinesHolder::SetItems);
            return r;
        }();
        return registry;
    }
};

class Languages : public glimra::test::ProgramForms {
  protected:
    lang::TMultiLanguage& Component() { return MAIN->Get<lang::TMultiLanguage>("MultiLanguage1"); }
    TMenuItem& Menu() { return MAIN->Get<TMenuItem>("MenuLanguage"); }
    std::vector<std::string> Captions() {
        std::vector<std::string> captions;
        for (int i = 0; i < Menu().Count(); ++i)
            captions.push_back(Menu().Items(i)->Caption());
        return captions;
    }
    // The language entry with that caption, clicked as the menu clicks it: an
    // error goes to the application's report.
    void Choose(const std::string& caption) {
        for (int i = 0; i < Menu().Count(); ++i) {
            TMenuItem* item = Menu().Items(i);
            if (item->Caption() == caption) {
                ui::Guarded([item] { item->Click(); });
                return;
            }
        }
        ADD_FAILURE() << "no language entry " << caption;
    }
    std::string Caption(const char* name) { return MAIN->Get<TMenuItem>(name).Caption(); }
    std::string Hint(const char* name) { return MAIN->Get<TControl>(name).Hint(); }
    // The flag in front of an entry, as 24-bit pixels from the top.
    static COLORREF FlagPixel(TMenuItem& item, int x, int y) {
        ui::TBitmap& flag = item.Bitmap().Bitmap();
        const std::uint8_t* p = flag.ScanLine(y) + x * flag.BitsPerPixel() / 8;
        return RGB(p[2], p[1], p[0]);
    }
};

TEST_F(Languages, SwitchingToALanguageThatLacksKeysKeepsTheWordingBefore) {
    WriteFile("Lang\\de.lng",
              "[General]\r\nLanguageName=Deutsch\r\n"
              "[MAIN]\r\nMenuFile.Caption=&Datei\r\nButtonCapture.Hint=Aufnahme\r\n"
              "MAIN.Caption=Glimra auf Deutsch\r\nTrayIcon1.Hint=Glimra (de)\r\n"
              "[about]\r\nabout.Caption=Über Glimra\r\n");
    WriteFile("Lang\\fr.lng",
              "[General]\nLanguageName=Fran\xE7"
              "ais\n[MAIN]\nMenuFile.Caption=&Fichier\n");
    Start();
    EXPECT_THAT(Captions(), ElementsAre("Deutsch",
                                        "Fran\xE7"
                                        "ais"));
    Choose("Deutsch");
    EXPECT_EQ(Caption("MenuFile"), "&Datei");
    EXPECT_EQ(Hint("ButtonCapture"), "Aufnahme");
    EXPECT_EQ(MAIN->Caption(), "Glimra auf Deutsch");
    char title[64] = {};
    ::GetWindowTextA(MAIN->Handle(), title, sizeof title);
    EXPECT_STREQ(title, "Glimra auf Deutsch");
    EXPECT_EQ(MAIN->Get<ui::TComponent>("TrayIcon1")
                  .Properties()
                  .Find("Hint")
                  ->getText(MAIN->Get<ui::TComponent>("TrayIcon1")),
              "Glimra (de)");
    EXPECT_EQ(about->Caption(), "Über Glimra");
    EXPECT_TRUE(Menu().Items(0)->Checked());
    EXPECT_FALSE(Menu().Items(1)->Checked());

    Choose(
        "Fran\xE7"
        "ais");
    EXPECT_EQ(Caption("MenuFile"), "&Fichier");
    EXPECT_EQ(Hint("ButtonCapture"), "Aufnahme");
    EXPECT_EQ(about->Caption(), "Über Glimra");
    EXPECT_EQ(Component().LanguageName(),
              "Fran\xE7"
              "ais");
    EXPECT_FALSE(Menu().Items(0)->Checked());
    EXPECT_TRUE(Menu().Items(1)->Checked());
    // The menu bar's buttons were made again with the new captions.
    ui::TToolBar& bar = MAIN->Get<ui::TToolBar>("ToolBar2");
    ASSERT_GT(bar.ButtonCount(), 0);
    EXPECT_EQ(bar.Buttons(0)->Caption(), "&Fichier");
    EXPECT_TRUE(reports.empty());
}

TEST_F(Languages, NamesNestedPropertiesIgnoredPropertiesAndOtherWindowsSectionsStayAlone) {
    WriteFile("Lang\\x.lng",
              "[General]\nLanguageName=X\n"
              "[MAIN]\n"
              "MenuFile.Name=Renamed\nMAIN.Name=Other\nmenuedit.name=Renamed2\n"
              "SM.Font.Name=Courier New\n"
              "MultiLanguage1.LanguageName=Hijacked\nMultiLanguage1.Author=Hijacked\n"
              "MenuEdit.Caption=&Bearbeiten\nButtonSave.Hint=Sichern\n"
              "X.Caption=for a language entry\n"
              "[about]\nMenuView.Caption=from the wrong window\n");
    Start();
    ui::TComponent& file = MAIN->Get<ui::TComponent>("MenuFile");
    Component().SetIgnoreProperties({"Hint"});
    Choose("X");
    EXPECT_EQ(file.Name(), "MenuFile");
    EXPECT_EQ(MAIN->FindComponent("Renamed"), nullptr);
    EXPECT_EQ(MAIN->Name(), "MAIN");
    EXPECT_EQ(MAIN->Get<TMenuItem>("MenuEdit").Caption(), "&Bearbeiten");
    EXPECT_EQ(MAIN->Get<TControl>("SM").Font().name, "Tahoma");
    EXPECT_EQ(Component().LanguageName(), "X");
    EXPECT_EQ(Component().Author(), "<Unknown>");
    EXPECT_EQ(Hint("ButtonSave"), "Save as..") << "Hint is on the ignore list now";
    EXPECT_EQ(Caption("MenuView"), "&View");
    EXPECT_EQ(Menu().Items(0)->Caption(), "X");
    EXPECT_TRUE(reports.empty());
}

TEST_F(Languages, StringListLinesAreReplacedOnlyInsideTheListsLength) {
    WriteFile("Lang\\x.lng",
              "[General]\nLanguageName=X\n[MAIN]\n"
              "Colours1.Items.Strings[0]=ColorA=FFFFFF\n"
              "Colours1.Items.Strings[1]=\n"
              "Colours1.Items.Strings[3]=ColorD=000000\n"
              "Colours1.Items.Strings[01]=leading zero\n"
              "Colours1.Items=whole list\n");
    Start();
    auto* holder = new TLinesHolder(MAIN);
    holder->SetName("Colours1");
    holder->items = {"ColorA=0", "ColorB=1", "ColorC=2"};
    std::vector<std::string> asked;
    Component().OnReadProperty = [&](lang::TMultiLanguage*, ui::TComponent* comp,
                                     const std::string& prop, std::string&, bool&) {
        if (comp == holder) asked.push_back(prop);
    };
    Choose("X");
    EXPECT_THAT(holder->items, ElementsAre("ColorA=FFFFFF", "ColorB=1", "ColorC=2"));
    EXPECT_THAT(asked, ElementsAre("Items.Strings[0]"));
}

TEST_F(Languages, OnReadPropertyCanChangeOrKeepEachValue) {
    WriteFile("Lang\\x.lng",
              "[General]\nLanguageName=X\n[MAIN]\n"
              "MenuFile.Caption=&Datei\nMenuEdit.Caption=&Bearbeiten\nMenuView.Caption=&Ansicht\n"
              "ButtonCapture.Hint=Aufnahme\n");
    Start();
    std::vector<std::tuple<std::string, std::string, std::string>> seen;
    Component().OnReadProperty = [&](lang::TMultiLanguage* sender, ui::TComponent* comp,
                                     const std::string& prop, std::string& value, bool& change) {
        EXPECT_EQ(sender, &Component());
        EXPECT_TRUE(change);
        seen.emplace_back(comp->Name(), prop, value);
        if (comp->Name() == "MenuFile") change = false;
        if (comp->Name() == "MenuEdit") value.clear();
        if (comp->Name() == "MenuView") value = "VIEW";
    };
    Choose("X");
    EXPECT_EQ(Caption("MenuFile"), "&File");
    EXPECT_EQ(Caption("MenuEdit"), "");
    EXPECT_EQ(Caption("MenuView"), "VIEW");
    EXPECT_EQ(Hint("ButtonCapture"), "Aufnahme");
    // Only values present in the file are offered, each once.
    std::sort(seen.begin(), seen.end());
    EXPECT_THAT(seen, ElementsAre(std::make_tuple("ButtonCapture", "Hint", "Aufnahme"),
                                  std::make_tuple("MenuEdit", "Caption", "&Bearbeiten"),
                                  std::make_tuple("MenuFile", "Caption", "&Datei"),
                                  std::make_tuple("MenuView", "Caption", "&Ansicht")));
}

TEST_F(Languages, TheMenuListsEveryPlainLanguageFileWithItsNameOrUntitled) {
    WriteFile("Lang\\named.lng", "[General]\nLanguageName=Named\n");
    WriteFile("Lang\\noname.lng", "[General]\nAuthor=Someone\n");
    WriteFile("Lang\\empty.lng", "[General]\nLanguageName=\n");
    WriteFile("Lang\\indexed.lng", "[General]\nLanguageName=Not indexed\n");
    WriteFile("Lang\\hidden.lng", "[General]\nLanguageName=Hidden\n");
    WriteFile("Lang\\other.txt", "[General]\nLanguageName=Text\n");
    ::CreateDirectoryA("Lang\\Y.lng", nullptr);
    ::SetFileAttributesA("Lang\\named.lng", FILE_ATTRIBUTE_NORMAL);
    ::SetFileAttributesA("Lang\\indexed.lng", FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    ::SetFileAttributesA("Lang\\hidden.lng", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    Start();
    std::vector<std::string> captions = Captions();
    std::sort(captions.begin(), captions.end());
    EXPECT_THAT(captions, ElementsAre("<Untitled Language>", "<Untitled Language>", "Hidden",
                                      "Named", "Not indexed"));
    std::vector<std::string> files = Component().GetLanguageFiles();
    std::sort(files.begin(), files.end());
    EXPECT_THAT(files, ElementsAre("Lang\\empty.lng", "Lang\\hidden.lng", "Lang\\indexed.lng",
                                   "Lang\\named.lng", "Lang\\noname.lng"));
    // Names and files in the same order, entries tagged by position.
    EXPECT_EQ(Component().GetLanguageNames().size(), 5u);
    for (int i = 0; i < Menu().Count(); ++i) {
        EXPECT_EQ(Menu().Items(i)->Tag(), i + 1);
        EXPECT_EQ(Menu().Items(i)->Name(), "");
        EXPECT_EQ(Menu().Items(i)->Caption(), Component().GetLanguageNames()[std::size_t(i)]);
    }

    // A file without a name is loaded under its file name, which no entry shows.
    Choose("<Untitled Language>");
    const std::string loaded = Component().CurrentLanguageFile();
    EXPECT_TRUE(loaded == "Lang\\noname.lng" || loaded == "Lang\\empty.lng") << loaded;
    EXPECT_EQ(Component().LanguageName(), loaded == "Lang\\noname.lng" ? "noname.lng" : "");
}

// The attribute rule of the scan by itself: Wine reports no attribute bits of a
// file beyond read-only, hidden, system and archive, so files on disk cannot show
// the bits that Windows gives (not indexed, compressed, encrypted, normal alone).
TEST(LanguageFileEntry, EveryFileButDirectoriesAndDevicesIsALanguageFile) {
    for (DWORD attributes :
         {DWORD(0), DWORD(FILE_ATTRIBUTE_NORMAL), DWORD(FILE_ATTRIBUTE_ARCHIVE),
          DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
          DWORD(FILE_ATTRIBUTE_NOT_CONTENT_INDEXED),
          DWORD(FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_ARCHIVE),
          DWORD(FILE_ATTRIBUTE_COMPRESSED), DWORD(FILE_ATTRIBUTE_ENCRYPTED),
          DWORD(FILE_ATTRIBUTE_TEMPORARY), DWORD(FILE_ATTRIBUTE_SPARSE_FILE),
          DWORD(FILE_ATTRIBUTE_OFFLINE), DWORD(FILE_ATTRIBUTE_REPARSE_POINT)})
        EXPECT_TRUE(lang::IsLanguageFileEntry(attributes)) << std::hex << attributes;
    for (DWORD attributes :
         {DWORD(FILE_ATTRIBUTE_DIRECTORY), DWORD(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE),
          DWORD(FILE_ATTRIBUTE_DEVICE), DWORD(FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_NORMAL)})
        EXPECT_FALSE(lang::IsLanguageFileEntry(attributes)) << std::hex << attributes;
}

TEST_F(Languages, EachEntryShowsTheFlagBesideItsFileOrNoFlag) {
    // A 4 x 2 bitmap file, red on top of blue.
    std::string bmp = "BM";
    auto put = [&bmp](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            bmp += char((v >> (8 * i)) & 0xFF);
    };
    put(54 + 32, 4), put(0, 4), put(54, 4);
    put(40, 4), put(4, 4), put(2, 4), put(1, 2), put(24, 2), put(0, 4), put(32, 4);
    put(0, 4), put(0, 4), put(0, 4), put(0, 4);
    for (int i = 0; i < 4; ++i)
        put(0x0000FF, 3);  // bottom row first: blue (bytes blue, green, red)
    for (int i = 0; i < 4; ++i)
        put(0xFF0000, 3);  // red
    WriteFile("Lang\\a.lng", "[General]\nLanguageName=A\n");
    WriteFile("Lang\\a.bmp", bmp);
    WriteFile("Lang\\b.lng", "[General]\nLanguageName=B\n");
    WriteFile("Lang\\c.lng", "[General]\nLanguageName=C\n");
    WriteFile("Lang\\c.bmp", "this is no bitmap");
    Start();
    ASSERT_EQ(Menu().Count(), 3);
    std::vector<TMenuItem*> byName(3);
    for (int i = 0; i < 3; ++i)
        byName[std::size_t(Menu().Items(i)->Caption()[0] - 'A')] = Menu().Items(i);
    TMenuItem& a = *byName[0];
    EXPECT_EQ(a.Bitmap().Width(), 4);
    EXPECT_EQ(a.Bitmap().Height(), 2);
    EXPECT_EQ(FlagPixel(a, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(FlagPixel(a, 3, 1), RGB(0, 0, 255));
    // NOFLAG: 16 x 16, magenta bands over and under a black field.
    for (TMenuItem* item : {byName[1], byName[2]}) {
        EXPECT_EQ(item->Bitmap().Width(), 16);
        EXPECT_EQ(item->Bitmap().Height(), 16);
        EXPECT_EQ(FlagPixel(*item, 0, 0), RGB(255, 0, 255));
        EXPECT_EQ(FlagPixel(*item, 15, 15), RGB(255, 0, 255));
        EXPECT_EQ(FlagPixel(*item, 0, 2), RGB(0, 0, 0));
    }
    // Without bitmaps the entries carry none.
    Component().SetUseLanguageBitmaps(false);
    ASSERT_EQ(Menu().Count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(Menu().Items(i)->Bitmap().Empty());
}

TEST_F(Languages, AFileThatCannotBeOpenedIsReportedAndChangesNothing) {
    WriteFile("Lang\\a.lng", "[General]\nLanguageName=A\n[MAIN]\nMenuFile.Caption=&Datei\n");
    WriteFile("Lang\\b.lng", "[General]\nLanguageName=B\n[MAIN]\nMenuFile.Caption=&Fichier\n");
    Start();
    int before = 0, after = 0;
    Component().OnBeforeLoad = [&](ui::TObject*) { ++before; };
    ui::TNotifyEvent afterLoad = Component().OnAfterLoad;
    Component().OnAfterLoad = [&](ui::TObject* sender) {
        ++after;
        afterLoad(sender);
    };
    Choose("A");
    ASSERT_EQ(Component().CurrentLanguageFile(), "Lang\\a.lng");
    const std::vector<std::string> data = Component().LanguageStrings();
    // Held open without sharing: the component cannot open it.
    HANDLE lock = ::CreateFileA("Lang\\b.lng", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Choose("B");
    ::CloseHandle(lock);
    ASSERT_EQ(reports.size(), 1u);
    const std::string start = "Cannot open file \"Lang\\b.lng\". ";
    EXPECT_EQ(reports[0].substr(0, start.size()), start);
    EXPECT_GT(reports[0].size(), start.size()) << "the system's reason follows";
    EXPECT_EQ(before, 2);
    EXPECT_EQ(after, 1);
    EXPECT_EQ(Component().CurrentLanguageFile(), "Lang\\a.lng");
    EXPECT_EQ(Component().LanguageName(), "A");
    EXPECT_EQ(Component().LanguageStrings(), data);
    EXPECT_EQ(Caption("MenuFile"), "&Datei");
    for (int i = 0; i < Menu().Count(); ++i)
        EXPECT_EQ(Menu().Items(i)->Checked(), Menu().Items(i)->Caption() == "A");
}

TEST_F(Languages, AfterALoadTheStatisticsLabelsStandInOrderFlushWithTheirNewWidths) {
    WriteFile("Lang\\x.lng",
              "[General]\nLanguageName=X\n[MAIN]\n"
              "SM.Caption=Bisher aufgenommene Bildschirmfotos insgesamt:\n"
              "FS.Caption=V:\nAW.Caption=Aktives Fenster und noch mehr Worte:\n");
    Start();
    const char* const order[] = {"SM", "FS", "Label2", "AW", "Label3"};
    const int oldWidth = MAIN->Get<TControl>("SM").Width();
    Choose("X");
    Pump();
    EXPECT_GT(MAIN->Get<TControl>("SM").Width(), oldWidth);
    for (int i = 0; i < 4; ++i) {
        const TControl& left = MAIN->Get<TControl>(order[i]);
        const TControl& right = MAIN->Get<TControl>(order[i + 1]);
        EXPECT_TRUE(left.Visible());
        EXPECT_EQ(left.Left() + left.Width() + left.Margins().right + right.Margins().left,
                  right.Left())
            << order[i] << " and " << order[i + 1];
    }
    const TControl& last = MAIN->Get<TControl>("Label3");
    EXPECT_EQ(last.Left() + last.Width() + last.Margins().right,
              MAIN->Get<TControl>("Panel4").Left());
    glimra::test::SaveScreenshot(MAIN->Handle(), "main-window-translated");
}

TEST_F(Languages, LanguageStringsAndTheGeneralSectionBothWays_AndTheVersionCheck) {
    WriteFile("Lang\\old.lng", "[General]\nLanguageVersion=0.9\nAuthor=\n[MAIN]\n");
    WriteFile("Lang\\new.lng", "[General]\nLanguageName=New\nLanguageVersion=65537.0\n");
    Start();
    lang::TMultiLanguage& ml = Component();
    // The layout's template.
    EXPECT_THAT(ml.LanguageStrings(),
                ElementsAre("[General]", "LanguageVersion=1.0", "Author=Norvanta",
                            "AuthorEmail=", "LanguageName=", ""));
    int old = 0;
    ml.OnOldLangVersionLoaded = [&](ui::TObject* sender) {
        EXPECT_EQ(sender, &ml);
        ++old;
    };
    ml.LoadLanguage("Lang\\old.lng");
    EXPECT_EQ(old, 1);
    EXPECT_EQ(ml.LanguageName(), "old.lng");
    EXPECT_EQ(ml.LanguageVersion(), "0.9");
    EXPECT_EQ(ml.Author(), "");
    EXPECT_EQ(ml.AuthorEmail(), "");
    ml.LoadLanguage("Lang\\new.lng");
    EXPECT_EQ(old, 1) << "65537.0 counts as 1.0";
    EXPECT_EQ(ml.Author(), "<Unknown>");

    ml.SetAuthor("Me");
    EXPECT_THAT(ml.LanguageStrings(),
                ElementsAre("[General]", "LanguageName=New", "LanguageVersion=65537.0", "Author=Me",
                            "AuthorEmail=", ""));
    ml.SetLanguageStrings({"[MAIN]", "MenuFile.Caption=&Datei"});
    EXPECT_EQ(ml.LanguageName(), "new.lng");
    EXPECT_EQ(ml.LanguageVersion(), "1.0");
    EXPECT_EQ(Caption("MenuFile"), "&File") << "assigning applies nothing";
    EXPECT_THAT(
        ml.LanguageStrings(),
        ElementsAre("[MAIN]", "MenuFile.Caption=&Datei", "", "[General]", "Author=<Unknown>",
                    "AuthorEmail=", "LanguageName=new.lng", "LanguageVersion=1.0", ""));
    EXPECT_THAT(ml.IgnoreProperties(), ElementsAre("Name", "ImeName", "HelpKeyword", "HelpFile"));
}

TEST_F(Languages, AGoneSubmenuIsLetGo_AndFixedEntriesStay) {
    WriteFile("Lang\\a.lng", "[General]\nLanguageName=A\n");
    WriteFile("Lang\\b.lng", "[General]\nLanguageName=B\n");
    Start();
    lang::TMultiLanguage& ml = Component();
    auto* own = new TMenuItem(nullptr);
    for (const char* caption : {"first", "-", "More..."}) {
        auto* fixed = new TMenuItem(nullptr);
        fixed->SetCaption(caption);
        own->Add(fixed);
    }
    ml.SetLangMenuItem(own);
    // Before the last two fixed entries.
    std::vector<std::string> captions;
    for (int i = 0; i < own->Count(); ++i)
        captions.push_back(own->Items(i)->Tag() ? "lang" : own->Items(i)->Caption());
    EXPECT_THAT(captions, ElementsAre("first", "lang", "lang", "-", "More..."));
    ml.RebuildLanguageMenu();
    EXPECT_EQ(own->Count(), 5);
    delete own;
    EXPECT_EQ(ml.LangMenuItem(), nullptr);
    ml.Refresh();  // nothing to fill, nothing to fail
    EXPECT_EQ(ml.GetLanguageFiles().size(), 2u);
}

// ---- Language files and folders that are not what they should be: each loads
// or lists what it can and changes nothing else; nothing crashes, and the one
// file that cannot be read is reported with the system's reason.

// Bytes of a fixed pseudo-random sequence, all from `low` up.
std::string NoiseBytes(std::size_t size, unsigned low) {
    std::string bytes(size, '\0');
    std::uint32_t state = 12345;
    for (char& c : bytes) {
        state = state * 1103515245u + 12345u;
        c = char(low + (state >> 16) % (256 - low));
    }
    return bytes;
}

TEST_F(Languages, FilesOfRandomBytesAreListedUntitledAndLoadNothing) {
    // With NUL bytes among them, and without (every other byte value).
    WriteFile("Lang\\noise.lng", NoiseBytes(64 * 1024, 0));
    WriteFile("Lang\\static.lng", NoiseBytes(64 * 1024, 1));
    Start();
    EXPECT_THAT(Captions(), ElementsAre("<Untitled Language>", "<Untitled Language>"));
    const std::vector<std::string> files = Component().GetLanguageFiles();
    for (int i = 0; i < 2; ++i) {
        TMenuItem* entry = Menu().Items(i);
        ui::Guarded([entry] { entry->Click(); });
        // No [General] section: the name is the file's.
        EXPECT_EQ("Lang\\" + Component().LanguageName(), files[std::size_t(i)]);
        EXPECT_EQ(Component().Author(), "<Unknown>");
        EXPECT_EQ(Caption("MenuFile"), "&File");
        EXPECT_EQ(Hint("ButtonCapture"), "Capture");
        EXPECT_TRUE(entry->Checked());
    }
    EXPECT_TRUE(reports.empty()) << reports.front();
}

TEST_F(Languages, OneTenMegabyteLineIsTakenAsItsValue_AndTheLinesAfterItStillCount) {
    const std::string huge(10 * 1024 * 1024, 'x');
    WriteFile("Lang\\long.lng",
              "[General]\r\nLanguageName=Long\r\n[MAIN]\r\nMenuEdit.Caption=" + huge +
                  "\r\nButtonCapture.Hint=Aufnahme\r\n" + huge + "\r\nMenuFile.Caption=&Datei\r\n");
    Start();
    Choose("Long");
    EXPECT_TRUE(reports.empty()) << reports.front();
    EXPECT_EQ(Caption("MenuEdit").size(), huge.size());
    EXPECT_EQ(Hint("ButtonCapture"), "Aufnahme");
    EXPECT_EQ(Caption("MenuFile"), "&Datei");
    // The window still draws and answers.
    Pump(200);
    DWORD_PTR result = 0;
    EXPECT_TRUE(
        ::SendMessageTimeoutA(MAIN->Handle(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result));
}

TEST_F(Languages, ANulByteEndsTheFile_AndAByteOrderMarkHidesTheFirstSection) {
    WriteFile("Lang\\zero.lng",
              std::string("[General]\nLanguageName=Nul\n[MAIN]\nMenuFile.Caption=&Vorher\n") +
                  '\0' + "MenuEdit.Caption=&Nachher\n");
    WriteFile("Lang\\bom.lng",
              "\xEF\xBB\xBF[General]\r\nLanguageName=Bom\r\nAuthor=Someone\r\n"
              "MenuEdit.Caption=&Hidden\r\n[MAIN]\r\nMenuView.Caption=&Ansicht\r\n");
    Start();
    ASSERT_EQ(Menu().Count(), 2);
    Choose("Nul");
    EXPECT_EQ(Caption("MenuFile"), "&Vorher");
    EXPECT_EQ(Caption("MenuEdit"), "&Edit") << "the text ended at the NUL";
    EXPECT_EQ(Component().LanguageName(), "Nul");

    // The mark is part of the first line, which is no section header then: the
    // [General] keys and the lines up to [MAIN] are not read.
    TMenuItem* bom = Menu().Items(0)->Caption() == "Nul" ? Menu().Items(1) : Menu().Items(0);
    ui::Guarded([bom] { bom->Click(); });
    EXPECT_EQ(Component().LanguageName(), "bom.lng");
    EXPECT_EQ(Component().Author(), "<Unknown>");
    EXPECT_EQ(Caption("MenuEdit"), "&Edit");
    EXPECT_EQ(Caption("MenuView"), "&Ansicht");
    EXPECT_TRUE(reports.empty()) << reports.front();
}

TEST_F(Languages, AFileRemovedBetweenTheScanAndTheClickIsReportedAndChangesNothing) {
    WriteFile("Lang\\a.lng", "[General]\nLanguageName=A\n[MAIN]\nMenuFile.Caption=&Datei\n");
    WriteFile("Lang\\gone.lng", "[General]\nLanguageName=Gone\n[MAIN]\nMenuFile.Caption=&Weg\n");
    Start();
    Choose("A");
    ASSERT_TRUE(::DeleteFileA("Lang\\gone.lng"));
    Choose("Gone");
    ASSERT_EQ(reports.size(), 1u);
    const std::string start = "Cannot open file \"Lang\\gone.lng\". ";
    EXPECT_EQ(reports[0].substr(0, start.size()), start);
    EXPECT_GT(reports[0].size(), start.size()) << "the system's reason follows";
    EXPECT_EQ(Caption("MenuFile"), "&Datei");
    EXPECT_EQ(Component().LanguageName(), "A");
    EXPECT_EQ(Component().CurrentLanguageFile(), "Lang\\a.lng");
    for (int i = 0; i < Menu().Count(); ++i)
        EXPECT_EQ(Menu().Items(i)->Checked(), Menu().Items(i)->Caption() == "A");
}

TEST_F(Languages, AMissingLanguagesFolderOrAFileInItsPlaceListsNothingAndSaysNothing) {
    // The last run chose a language.
    HKEY key;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey(), 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(key, "Language", 0, REG_SZ, reinterpret_cast<const BYTE*>("Deutsch"), 8);
    ::RegCloseKey(key);
    ASSERT_TRUE(::RemoveDirectoryA("Lang"));
    Start();
    EXPECT_EQ(Menu().Count(), 0);
    EXPECT_EQ(Component().CurrentLanguageFile(), "");
    EXPECT_EQ(Caption("MenuFile"), "&File");
    // A file named like the folder (a folder that cannot be listed under Wine,
    // where a root user reads every folder) is no folder of languages either.
    WriteFile("Lang", "[General]\nLanguageName=Deutsch\n");
    Component().Refresh();
    EXPECT_EQ(Menu().Count(), 0);
    EXPECT_TRUE(reports.empty()) << reports.front();
    ::DeleteFileA("Lang");
}

// The flags of the BMP reader's fuzz corpus (the folder is the test's
// argument): one of each depth and header shows its colours; a cut one and
// those that claim absurd sizes show NOFLAG.
TEST_F(Languages, FlagsOfEveryDepthShowTheirColours_AndDamagedOnesShowNoFlag) {
    const auto args = ::testing::internal::GetArgvs();
    ASSERT_GE(args.size(), 2u) << "the test needs the folder of the BMP corpus";
    const std::string corpus = glimra::test::WindowsPath(args[1]);
    struct Flag {
        const char* file;
        int width, height;
        POINT at[2];
        COLORREF colour[2];
        int tolerance;  // 16-bit colours widen their five or six bits each
    };
    const Flag flags[] = {
        {"flag-se-24bit", 16, 10, {{0, 0}, {5, 0}}, {RGB(0, 106, 167), RGB(254, 204, 0)}, 0},
        {"flag-jp-8bit", 15, 10, {{0, 0}, {7, 4}}, {RGB(255, 255, 255), RGB(188, 0, 45)}, 0},
        {"flag-fr-4bit-top-down",
         15,
         10,
         {{0, 0}, {14, 9}},
         {RGB(0, 35, 149), RGB(237, 41, 57)},
         0},
        {"flag-pl-1bit", 16, 10, {{0, 0}, {0, 9}}, {RGB(255, 255, 255), RGB(220, 20, 60)}, 0},
        {"flag-de-16bit", 15, 9, {{0, 0}, {0, 8}}, {RGB(0, 0, 0), RGB(255, 206, 0)}, 8},
        {"flag-it-16bit-masks", 15, 10, {{0, 0}, {14, 0}}, {RGB(0, 146, 70), RGB(206, 43, 55)}, 8},
        {"flag-dk-32bit", 16, 12, {{0, 0}, {5, 0}}, {RGB(200, 16, 46), RGB(255, 255, 255)}, 0},
        {"flag-fi-32bit-v5-alpha",
         16,
         11,
         {{1, 0}, {5, 0}},
         {RGB(255, 255, 255), RGB(0, 47, 108)},
         0},
    };
    const char* damaged[] = {"cut-in-rows", "absurd-size", "absurd-colours", "lowest-height"};
    for (const Flag& flag : flags) {
        WriteFile(std::string("Lang\\") + flag.file + ".lng",
                  std::string("[General]\nLanguageName=") + flag.file + "\n");
        ASSERT_TRUE(::CopyFileA((corpus + "\\" + flag.file).c_str(),
                                (std::string("Lang\\") + flag.file + ".bmp").c_str(), FALSE));
    }
    for (const char* file : damaged) {
        WriteFile(std::string("Lang\\") + file + ".lng",
                  std::string("[General]\nLanguageName=") + file + "\n");
        ASSERT_TRUE(::CopyFileA((corpus + "\\" + file).c_str(),
                                (std::string("Lang\\") + file + ".bmp").c_str(), FALSE));
    }
    Start();
    auto entry = [this](const std::string& caption) -> TMenuItem* {
        for (int i = 0; i < Menu().Count(); ++i)
            if (Menu().Items(i)->Caption() == caption) return Menu().Items(i);
        return nullptr;
    };
    auto within = [](COLORREF a, COLORREF b, int tolerance) {
        return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
               std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
               std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
    };
    for (const Flag& flag : flags) {
        TMenuItem* item = entry(flag.file);
        ASSERT_NE(item, nullptr) << flag.file;
        EXPECT_EQ(item->Bitmap().Width(), flag.width) << flag.file;
        EXPECT_EQ(item->Bitmap().Height(), flag.height) << flag.file;
        for (int i = 0; i < 2; ++i) {
            const COLORREF shown = FlagPixel(*item, flag.at[i].x, flag.at[i].y);
            EXPECT_TRUE(within(shown, flag.colour[i], flag.tolerance))
                << flag.file << " at " << flag.at[i].x << "," << flag.at[i].y << " shows "
                << std::hex << shown << " not " << flag.colour[i];
        }
    }
    for (const char* file : damaged) {
        TMenuItem* item = entry(file);
        ASSERT_NE(item, nullptr) << file;
        EXPECT_EQ(item->Bitmap().Width(), 16) << file;
        EXPECT_EQ(FlagPixel(*item, 0, 0), RGB(255, 0, 255)) << file << ": not the NOFLAG picture";
    }
    EXPECT_TRUE(reports.empty()) << reports.front();
}

TEST_F(Languages, AFlagWhoseHeaderClaimsAnAbsurdSizeGivesNoFlag) {
    // A bitmap header of 30000 x 30000 pixels of 24 bits, and 16 bytes of pixels.
    std::string bmp = "BM";
    auto put = [&bmp](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            bmp += char((v >> (8 * i)) & 0xFF);
    };
    put(54 + 16, 4), put(0, 4), put(54, 4);
    put(40, 4), put(30000, 4), put(30000, 4), put(1, 2), put(24, 2), put(0, 4), put(0, 4);
    put(0, 4), put(0, 4), put(0, 4), put(0, 4);
    bmp += std::string(16, '\x7F');
    WriteFile("Lang\\big.lng", "[General]\nLanguageName=Big\n");
    WriteFile("Lang\\big.bmp", bmp);
    Start();
    ASSERT_EQ(Menu().Count(), 1);
    TMenuItem& entry = *Menu().Items(0);
    EXPECT_EQ(entry.Caption(), "Big");
    EXPECT_EQ(entry.Bitmap().Width(), 16);
    EXPECT_EQ(entry.Bitmap().Height(), 16);
    EXPECT_EQ(FlagPixel(entry, 0, 0), RGB(255, 0, 255)) << "the NOFLAG picture";
    EXPECT_TRUE(reports.empty()) << reports.front();
}

// A file that names every text property of every component of the open windows
// (those of start-up; the capture overlays add only themselves) changes each of
// them, and a second apply of the same texts leaves them as they are.
// bench/language_times.cpp times these steps.
// The first line where the windows' texts differ from `expected`, or "".
std::string FirstDifference(const std::vector<std::string>& shown,
                            const std::vector<std::string>& expected) {
    for (std::size_t i = 0; i < std::max(shown.size(), expected.size()); ++i) {
        const std::string a = i < shown.size() ? shown[i] : "(none)",
                          b = i < expected.size() ? expected[i] : "(none)";
        if (a != b) return "line " + std::to_string(i) + " is \"" + a + "\", not \"" + b + "\"";
    }
    return "";
}

TEST_F(Languages, AFileThatNamesEveryTextOfTheOpenWindowsChangesEachOfThem) {
    Start();
    EXPECT_EQ(application.Forms().size(), 3u);
    const OpenWindowTexts star = TextsOfOpenWindows(application, " *"),
                          plus = TextsOfOpenWindows(application, " +");
    EXPECT_GT(star.texts, 100);
    std::string file;
    for (const std::string& line : star.lines)
        file += line + "\r\n";
    WriteFile("Lang\\every.lng", file);
    lang::TMultiLanguage& ml = Component();
    ml.LoadLanguage("Lang\\every.lng");
    EXPECT_EQ(FirstDifference(TextsOfOpenWindows(application, "").lines, star.lines), "");
    EXPECT_EQ(Caption("MenuFile"), "&File *");
    ml.SetLanguageStrings(plus.lines);
    ml.ApplyToAllForms();
    EXPECT_EQ(FirstDifference(TextsOfOpenWindows(application, "").lines, plus.lines), "");
    ml.ApplyToAllForms();
    EXPECT_EQ(FirstDifference(TextsOfOpenWindows(application, "").lines, plus.lines), "");
    ml.LoadLanguage("Lang\\every.lng");
    EXPECT_EQ(FirstDifference(TextsOfOpenWindows(application, "").lines, star.lines), "");
    EXPECT_TRUE(reports.empty()) << reports.front();
}

TEST_F(Languages, AMainWindowMadeBesideTwoHundredLanguageFilesListsThemAll) {
    for (int i = 0; i < 200; ++i) {
        const std::string n = std::to_string(i);
        WriteFile("Lang\\language" + n + ".lng", "[General]\r\nLanguageName=Language " + n +
                                                     "\r\nAuthor=Someone\r\n[MAIN]\r\n"
                                                     "MenuFile.Caption=&File " +
                                                     n + "\r\n");
    }
    std::unique_ptr<TMAIN> main(ui::TForm::Make<TMAIN>(&application));
    TMenuItem& menu = main->Get<TMenuItem>("MenuLanguage");
    ASSERT_EQ(menu.Count(), 200);
    std::vector<std::string> captions;
    for (int i = 0; i < menu.Count(); ++i)
        captions.push_back(menu.Items(i)->Caption());
    std::sort(captions.begin(), captions.end());
    EXPECT_EQ(captions.front(), "Language 0");
    EXPECT_EQ(captions.back(), "Language 99");
    EXPECT_TRUE(std::adjacent_find(captions.begin(), captions.end()) == captions.end());
    EXPECT_TRUE(reports.empty()) << reports.front();
}

}  // namespace
