// The save, print and copy commands of the main window, in-process, with the
// real save dialog driven by code: a timer that the dialog's own message loop
// runs finds the dialog, picks a type, types a name and presses Save.
#include <windows.h>

#include <gtest/gtest.h>

#include <dlgs.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "testing/app/MainWindowTest.h"
#include "app/Unit3.h"
#include "imaging/pixel_ops.h"
#include "output/save_type.h"
#include "testing/output/decoders.h"
#include "testing/desktop/Desktop.h"
#include "testing/ui/CanvasPixel.h"
#include "ui/TApplication.h"
#include "ui/TImage.h"
#include "ui/TMenuItem.h"
#include "ui/TSaveDialog.h"
#include "win/handles.h"

namespace {

namespace fs = std::filesystem;
using glimra::test::MainWindow;

// ---- Acting on the modal dialogs of this thread.

// One action on the dialog in front; true when it is done.
using Step = std::function<bool(HWND dialog)>;

struct Driver {
    std::vector<Step> steps;
    std::size_t next = 0;
    DWORD started = 0, lastStep = 0;
    std::vector<std::string> seen;  // the caption of each dialog a step acted on
} driver;

BOOL CALLBACK FindFrontDialog(HWND window, LPARAM result) {
    char cls[16] = {};
    ::GetClassNameA(window, cls, sizeof cls);
    if (std::string(cls) == "#32770" && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK Drive(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindFrontDialog, reinterpret_cast<LPARAM>(&dialog));
    const DWORD now = ::GetTickCount();
    const bool late = now - driver.started > 15000;
    const bool over = driver.next == driver.steps.size() && now - driver.lastStep > 3000;
    if (dialog && (late || over)) {
        // Whatever went wrong, the command gets to its end.
        ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    if (!dialog || driver.next == driver.steps.size()) {
        if (late || over) ::KillTimer(nullptr, timer);
        return;
    }
    char caption[128] = {};
    ::GetWindowTextA(dialog, caption, sizeof caption);
    if (driver.steps[driver.next](dialog)) {
        driver.seen.push_back(caption);
        ++driver.next;
        driver.lastStep = now;
    }
}

// Runs `command` while the steps act on its dialogs.
void WithDialogs(std::vector<Step> steps, const std::function<void()>& command) {
    driver = Driver{std::move(steps), 0, ::GetTickCount(), 0, {}};
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, Drive);
    command();
    ::KillTimer(nullptr, timer);
}

HWND FileNameBox(HWND dialog) {
    HWND box = ::GetDlgItem(dialog, cmb13);
    return box ? box : ::GetDlgItem(dialog, edt1);
}

// The type list's selection, from 1 as the dialog counts types.
int SelectedType(HWND dialog) {
    return static_cast<int>(::SendDlgItemMessageA(dialog, cmb1, CB_GETCURSEL, 0, 0)) + 1;
}

std::vector<int> openedWith;  // the type each save dialog showed when it opened

// Notes the type shown, picks each of `types` in turn as a user would, types
// `name` and presses Save.
Step SaveAs(std::vector<int> types, std::string name, const std::string& screenshot = "") {
    return [types, name, screenshot](HWND dialog) {
        if (!FileNameBox(dialog)) return false;  // not the save dialog (yet)
        openedWith.push_back(SelectedType(dialog));
        if (!screenshot.empty()) glimra::test::SaveScreenshot(dialog, screenshot);
        HWND list = ::GetDlgItem(dialog, cmb1);
        for (int type : types) {
            // What a pick in the drop-down list sends its dialog.
            ::SendMessageA(list, CB_SETCURSEL, type - 1, 0);
            for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
                ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, code),
                               reinterpret_cast<LPARAM>(list));
        }
        ::SetWindowTextA(FileNameBox(dialog), name.c_str());
        ::PostMessageA(dialog, WM_COMMAND, IDOK,
                       reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
        return true;
    };
}

// Answers a question box (such as "replace the existing file?") with `button`.
Step Answer(int button) {
    return [button](HWND dialog) {
        if (!::GetDlgItem(dialog, button) || FileNameBox(dialog)) return false;
        ::PostMessageA(dialog, WM_COMMAND, button, 0);
        return true;
    };
}

Step Cancel() {
    return [](HWND dialog) {
        ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    };
}

// ---- The main window.

class OutputCommands : public MainWindow {
  protected:
    OutputCommands() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = glimra::test::TestFilePath(std::string("commands-") + info->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        openedWith.clear();
    }

    ui::TBitmap& Picture() { return MAIN->Get<ui::TImage>("Image1").Bitmap(); }
    // A picture in `format` with a pattern of colours.
    void SetPicture(int width, int height, ui::TPixelFormat format) {
        ui::TBitmap picture;
        picture.SetPixelFormat(format);
        picture.SetSize(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                glimra::test::SetPixel(picture.Canvas(), x, y, RGB(x * 5, y * 7, 200 - x));
        MAIN->Get<ui::TImage>("Image1").SetBitmap(picture);
    }
    void Run(ui::TObject* sender, void (TMAIN::*handler)(ui::TObject*)) {
        ui::Guarded([&] { (MAIN->*handler)(sender); });
    }
    void Save(std::vector<Step> steps) {
        WithDialogs(std::move(steps), [&] { Run(nullptr, &TMAIN::ButtonSaveClick); });
    }
    // The full path in the system's own form ("Z:\\...\\name"), as a user types it.
    std::string Path(const std::string& name) const {
        char full[MAX_PATH];
        ::GetFullPathNameA((folder / name).string().c_str(), MAX_PATH, full, nullptr);
        std::string path = full;
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }
    // The first bytes of a file, which tell its format.
    std::string Magic(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        char bytes[4] = {};
        in.read(bytes, 4);
        const std::string m(bytes, 4);
        if (m.compare(0, 2, "BM") == 0) return "BMP";
        if (m.compare(0, 3, "\xFF\xD8\xFF") == 0) return "JPEG";
        if (m.compare(0, 4, "GIF8") == 0) return "GIF";
        if (m.compare(0, 4, "\x89PNG") == 0) return "PNG";
        return in ? "other" : "missing";
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder;
};

TEST_F(OutputCommands, SaveWritesTheSelectedTypeAndTheTypeSurvivesBetweenSaves) {
    SetPicture(60, 40, ui::TPixelFormat::pf32bit);
    ui::TSaveDialog& dialog = MAIN->Get<ui::TSaveDialog>("SaveDialog1");
    int reported = 0;
    const ui::TNotifyEvent handler = dialog.OnTypeChange;
    dialog.OnTypeChange = [&](ui::TObject* sender) {
        ++reported;
        handler(sender);
    };

    // A first save without touching the list: BMP; the name gets ".bmp".
    const std::string dpi = std::to_string(application.PixelsPerInch()) + "dpi";
    Save({SaveAs({}, Path("first"), "save-dialog-" + dpi)});
    EXPECT_EQ(Magic("first.bmp"), "BMP");
    EXPECT_EQ(Picture().BitsPerPixel(), 24) << "converted in place";
    // JPEG chosen: "shot" becomes "shot.jpg".
    Save({SaveAs({2}, Path("shot"))});
    EXPECT_EQ(Magic("shot.jpg"), "JPEG");
    EXPECT_EQ(dialog.FilterIndex(), 2);
    // The next save opens with JPEG and writes JPEG, also under ".bmp".
    Save({SaveAs({}, Path("again.bmp"))});
    EXPECT_EQ(Magic("again.bmp"), "JPEG");
    // Every other combination: the type decides, the typed extension stays.
    Save({SaveAs({3}, Path("gif.png"))});
    EXPECT_EQ(Magic("gif.png"), "GIF");
    Save({SaveAs({4}, Path("pic"))});
    EXPECT_EQ(Magic("pic.png"), "PNG");
    Save({SaveAs({1}, Path("bitmap.gif"))});
    EXPECT_EQ(Magic("bitmap.gif"), "BMP");
    // Two changes in one visit: both reported, the last one counts.
    const int before = reported;
    Save({SaveAs({4, 2}, Path("two"))});
    EXPECT_EQ(reported, before + 2);
    EXPECT_EQ(Magic("two.jpg"), "JPEG");
    EXPECT_EQ(openedWith, (std::vector<int>{1, 1, 2, 2, 3, 4, 1}));

    // An existing file: the dialog asks first; on Yes the file gets the new data.
    Save({SaveAs({3}, Path("first.bmp")), Answer(IDYES)});
    EXPECT_EQ(Magic("first.bmp"), "GIF");
    EXPECT_EQ(driver.next, 2u) << "the question was asked";
    // Cancel writes nothing, and the type chosen before stays (the menu's save
    // below writes GIF).
    Save({Cancel()});

    EXPECT_EQ(Files(), (std::vector<std::string>{"again.bmp", "bitmap.gif", "first.bmp", "gif.png",
                                                 "pic.png", "shot.jpg", "two.jpg"}));
    EXPECT_TRUE(reports.empty()) << reports.front();
    // The speed button and the menu item run the same command.
    for (const char* name : {"MenuSaveAs"}) {
        ui::TMenuItem& item = MAIN->Get<ui::TMenuItem>(name);
        WithDialogs({SaveAs({}, Path("menu"))}, [&] { ui::Guarded([&] { item.OnClick(&item); }); });
    }
    EXPECT_EQ(Magic("menu.gif"), "GIF");
}

TEST_F(OutputCommands, ASaveThatCannotBeDoneIsReportedAndLeavesNoFile) {
    SetPicture(0, 30, ui::TPixelFormat::pf24bit);
    Save({SaveAs({2}, Path("empty"))});
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("empty"), std::string::npos) << reports[0];
    EXPECT_TRUE(Files().empty());
}

TEST_F(OutputCommands, CopyHandsOverThePictureIn32BitsAfterGrayscaleAnd24AfterASave) {
    SetPicture(33, 17, ui::TPixelFormat::pf32bit);
    ASSERT_TRUE(glimra::Grayscale(Picture().View()));
    std::vector<COLORREF> gray;
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 33; ++x)
            gray.push_back(Picture().Canvas().Pixel(x, y));
    ui::TMenuItem& copy = MAIN->Get<ui::TMenuItem>("MenuCopy");
    ui::Guarded([&] { copy.OnClick(&copy); });
    glimra::test::ClipboardBitmap held = glimra::test::ReadClipboardBitmap();
    EXPECT_EQ(held.bitsPerPixel, 32);
    EXPECT_EQ(held.pixels, gray);

    Save({SaveAs({4}, Path("gray"))});
    Run(nullptr, &TMAIN::ImagePopCopyClick);
    held = glimra::test::ReadClipboardBitmap();
    EXPECT_EQ(held.bitsPerPixel, 24);
    EXPECT_EQ(held.pixels, gray) << "the same colours";
    EXPECT_TRUE(reports.empty());
}

TEST_F(OutputCommands, PrintConvertsThePictureFirstAndCancelPrintsNothing) {
    SetPicture(20, 10, ui::TPixelFormat::pf32bit);
    WithDialogs({Cancel()}, [&] { Run(nullptr, &TMAIN::ButtonPrintClick); });
    EXPECT_EQ(Picture().BitsPerPixel(), 24);
    EXPECT_TRUE(reports.empty());
    for (const std::string& caption : driver.seen)
        EXPECT_EQ(caption.find("Glimra"), std::string::npos) << "no message after a cancel";
}

// The save types are named once; the dialog's list must offer each at its position,
// with its pattern, for the filter index to choose the format that was picked.
TEST_F(OutputCommands, TheSaveDialogsListOffersEachSaveTypeAtItsPosition) {
    const std::string filter = MAIN->Get<ui::TSaveDialog>("SaveDialog1").Filter();
    std::vector<std::string> parts;
    for (std::size_t start = 0;;) {
        const std::size_t bar = filter.find('|', start);
        parts.push_back(filter.substr(start, bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    ASSERT_EQ(parts.size(), 2 * std::size(glimra::kSaveTypes)) << filter;
    for (const glimra::SaveTypeEntry& entry : glimra::kSaveTypes) {
        const int index = static_cast<int>(entry.type);
        EXPECT_EQ(parts[2 * (index - 1) + 1], entry.pattern) << index;
        EXPECT_EQ(glimra::SaveTypeAt(index), entry.type);
    }
}

}  // namespace
