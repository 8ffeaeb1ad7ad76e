// Times the commands of the 32-bit program, each whole as the user starts it, on a
// picture file: the edit commands and Clear (conversions, the picture handed to the
// view and the view repainted), a save of each type to a new file and a BMP save
// over an existing one, the selection capture from the mouse release to the
// picture in the view, the desktop grab into the view, Undo of Grayscale and of
// Rotate 90, the step of each of the editor's tools, the join of a scrolling
// capture's frame, the capture command whole, and undo and redo of steps that the
// history has packed (a capture, an edit in either layout, a pixelated area).
// Every edit and save starts from the picture as a capture gives it (32 bits per
// pixel).
//
// Each run is paired with a memcpy of the picture's bytes just before it; a line
// prints the median time in milliseconds and the median of its runs' ratios to
// their copies. The lines that grab the display (Capture, Undo capture, Redo
// capture, Selection, Desktop grab) run only where the display has the picture's
// size, and say so where it has not.
//   edit_command_times [picture.png] [runs] [operation]
// With an operation's name, only that one runs (for a profiler).
#include <windows.h>

#include "bench/clock.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/editor/EditorTools.h"
#include "app/editor/MarkObjects.h"
#include "app/PackedBytes.h"
#include "app/editor/PictureTools.h"
#include "app/Unit3.h"
#include "app/Startup.h"
#include "capture/ScrnCap.h"
#include "imaging/scroll_stitch.h"
#include "output/windows/picture_save.h"
#include "ui/TApplication.h"
#include "ui/TImage.h"
#include "testing/app/MainWindowInternals.h"
#include "testing/app/WindowsWithoutReminder.h"
#include "ui/TMenuItem.h"
#include "ui/TSpeedButton.h"

namespace {

bool LoadPng(const char* path, ui::TBitmap& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) return false;
    image.format = PNG_FORMAT_BGRA;
    picture.SetPixelFormat(ui::TPixelFormat::pf32bit);
    picture.SetSize(static_cast<int>(image.width), static_cast<int>(image.height));
    return png_image_finish_read(&image, nullptr, picture.ScanLine(0),
                                 static_cast<png_int_32>(picture.Stride()), nullptr) != 0;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A line's runs, each paired with a copy of the picture (memcpy) taken just before
// it: a ratio compares the two under the same state of the machine, so that the
// ratios hold while the machine's speed moves between runs. A line reports the
// median time and the median of its runs' ratios.
struct Timings {
    std::vector<double> times, ratios;
    void Add(double time, double copy) {
        times.push_back(time);
        ratios.push_back(time / copy);
    }
    void Print(const char* name, const char* more = "") const {
        std::printf("%-22s %8.2f ms  %6.2f x memcpy%s\n", name, Median(times), Median(ratios),
                    more);
        std::fflush(stdout);
    }
};

// Handles every message waiting, the repaints included.
void Settle(ui::TApplication& application) {
    ::UpdateWindow(MAIN->Handle());
    while (application.HandleMessage(false)) {
    }
}

// The selection run: while the overlay's modal loop waits, a timer presses the left
// button at the screen's top-left corner, drags to its bottom-right one and releases;
// the time is measured from the release on (the time before it is the overlay's own
// waiting for the user).
double measuredFrom = 0;

void CALLBACK DragOverScreen(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND overlay = ::FindWindowA(nullptr, "CaptureForm");
    if (!overlay || !::IsWindowVisible(overlay)) return;
    ::KillTimer(nullptr, timer);
    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    ::SendMessageA(overlay, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, 0));
    ::SendMessageA(overlay, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(width, height));
    measuredFrom = Now();
    ::SendMessageA(overlay, WM_LBUTTONUP, 0, MAKELPARAM(width, height));
}

}  // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : GLIMRA_BENCH_PICTURE;
    const int runs = argc > 2 ? std::max(5, std::atoi(argv[2])) : 5;
    const std::string only = argc > 3 ? argv[3] : "";
    ui::TApplication application;
    InitializeProgram(application);
    glimra::test::OpenWindowsWithoutReminder(application);
    ui::TBitmap captured;
    if (!LoadPng(path, captured)) {
        std::fprintf(stderr, "cannot read %s\n", path);
        return 1;
    }
    CurrentPicture& picture = MAIN->Picture();
    const std::size_t bytes = static_cast<std::size_t>(captured.Stride()) * captured.Height();
    std::vector<std::uint8_t> copy(bytes);
    // The base takes more runs than the operations: a copy is short, and a busy
    // moment of the machine moves its median more.
    const int memcpyRuns = std::max(runs, 21);
    std::vector<double> memcpyTimes;
    for (int i = 0; i < memcpyRuns; ++i) {
        const double start = Now();
        std::memcpy(copy.data(), captured.ScanLine(0), bytes);
        memcpyTimes.push_back(Now() - start);
    }
    const double memcpyTime = Median(memcpyTimes);
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN),
              screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    std::printf("%d x %d, memcpy of %zu bytes: %.2f ms, median of %d runs; display %d x %d\n",
                captured.Width(), captured.Height(), bytes, memcpyTime, memcpyRuns, screenWidth,
                screenHeight);
    // One copy of the picture, timed: each run's base.
    const auto copyTime = [&] {
        const double start = Now();
        std::memcpy(copy.data(), captured.ScanLine(0), bytes);
        return Now() - start;
    };
    // The lines that grab the display compare with a copy of the picture only where
    // the display has the picture's size; elsewhere they refuse.
    const bool displayFits = screenWidth == captured.Width() && screenHeight == captured.Height();
    const auto fits = [&](const char* name) {
        if (!displayFits && (only.empty() || only == name))
            std::printf(
                "%-22s not run: it grabs the display, which must be %d x %d as the "
                "picture is (a session of that size: bench4k for the screenshot)\n",
                name, captured.Width(), captured.Height());
        return displayFits;
    };
    const History& history = glimra::test::MainWindowInternals::PictureHistory(*MAIN);
    const auto PackedWhileIdle = [&] {
        application.HandleMessagesUntil([&] { return history.Unpacked() == 0; }, 20000);
    };
    // `prepare` runs before each timed run and is not timed; the time ends when the
    // view has repainted.
    const auto report = [&](const char* name, const std::function<void()>& prepare,
                            const std::function<void()>& work) {
        if (!only.empty() && only != name) return;
        Timings timings;
        for (int i = 0; i < runs; ++i) {
            // The history packs what earlier runs left while the program waits, as
            // between a user's clicks: not in the time of this run.
            PackedWhileIdle();
            prepare();
            Settle(application);
            const double base = copyTime();
            measuredFrom = Now();
            work();
            Settle(application);
            timings.Add(Now() - measuredFrom, base);
        }
        timings.Print(name);
    };
    // The picture as a capture gives it, taken as a capture is: the objects that
    // the tools left over the one before go into its pixels.
    const auto asCaptured = [&] {
        ui::TBitmap fresh;
        fresh.Assign(captured);
        glimra::test::MainWindowInternals::NewPicture(*MAIN, fresh);
    };

    const struct {
        const char* name;
        void (TMAIN::*command)(ui::TObject*);
    } commands[] = {
        {"Grayscale", &TMAIN::ImagePopGrayscaleClick},
        {"Brighten", &TMAIN::ImagePopBrightenClick},
        {"Darken", &TMAIN::ImagePopDarkenClick},
        {"Invert", &TMAIN::ImagePopInvertClick},
        {"Flip Vertical", &TMAIN::ImagePopFlipVerticalClick},
        {"Flip Horizontal", &TMAIN::ImagePopFlipHorizontalClick},
        {"Rotate 90", &TMAIN::ImagePopRotate90Click},
        {"Rotate 180", &TMAIN::ImagePopRotate180Click},
        {"Clear", &TMAIN::ButtonClearClick},
    };
    for (const auto& c : commands)
        report(c.name, asCaptured, [&] { (MAIN->*c.command)(nullptr); });
    // Undo of a step that keeps a copy (Grayscale) and of one that keeps nothing
    // (Rotate 90 of a picture already in 24 bits, undone by the opposite turn).
    report(
        "Undo Grayscale",
        [&] {
            asCaptured();
            MAIN->ImagePopGrayscaleClick(nullptr);
        },
        [&] { MAIN->MenuUndoClick(nullptr); });
    report(
        "Undo Rotate 90",
        [&] {
            asCaptured();
            MAIN->ImagePopBrightenClick(nullptr);
            MAIN->ImagePopRotate90Click(nullptr);
        },
        [&] { MAIN->MenuUndoClick(nullptr); });

    // The capture command whole: the window hidden, the display grabbed, the
    // picture handed to the history and the view, the window shown again.
    if (fits("Capture")) report("Capture", asCaptured, [&] { MAIN->ButtonCaptureClick(nullptr); });
    // Undo and redo of steps that the history has packed while the program waited:
    // the picture before a capture (as captured, 32 bits), the capture itself, the
    // picture before Grayscale (32 bits) and before Brighten (24 bits), and a
    // pixelated area.
    const auto capture = [&] {
        asCaptured();
        MAIN->ButtonCaptureClick(nullptr);
        PackedWhileIdle();
    };
    if (fits("Undo capture"))
        report("Undo capture", capture, [&] { MAIN->MenuUndoClick(nullptr); });
    if (fits("Redo capture"))
        report(
            "Redo capture",
            [&] {
                capture();
                MAIN->MenuUndoClick(nullptr);
                PackedWhileIdle();
            },
            [&] { MAIN->MenuRedoClick(nullptr); });
    report(
        "Undo Grayscale packed",
        [&] {
            asCaptured();
            MAIN->ImagePopGrayscaleClick(nullptr);
            PackedWhileIdle();
        },
        [&] { MAIN->MenuUndoClick(nullptr); });
    report(
        "Undo Brighten packed",
        [&] {
            asCaptured();
            MAIN->ImagePopGrayscaleClick(nullptr);
            MAIN->ImagePopBrightenClick(nullptr);
            PackedWhileIdle();
        },
        [&] { MAIN->MenuUndoClick(nullptr); });
    report(
        "Undo Pixelate packed",
        [&] {
            asCaptured();
            ui::TSpeedButton& pixelate = MAIN->Get<ui::TSpeedButton>("ButtonPixelate");
            pixelate.SetDown(true);
            pixelate.Click();
            MAIN->Image1MouseDown(nullptr, ui::TMouseButton::mbLeft, ui::ssLeft, 100, 100);
            MAIN->Image1MouseMove(nullptr, ui::ssLeft, 1900, 1100);
            MAIN->Image1MouseUp(nullptr, ui::TMouseButton::mbLeft, 0, 1900, 1100);
            pixelate.SetDown(false);
            pixelate.Click();
            PackedWhileIdle();
        },
        [&] { MAIN->MenuUndoClick(nullptr); });

    // The packing itself, which runs while the program waits, not in any command:
    // of the picture as captured and in 24 bits, as the history packs a step; and
    // how many such steps the history's bound holds.
    ui::TBitmap in24;
    in24.Assign(captured);
    in24.SetPixelFormat(ui::TPixelFormat::pf24bit);
    for (ui::TBitmap* bitmap : {&captured, &in24}) {
        const char* name = bitmap == &captured ? "Pack 32 bits" : "Pack 24 bits";
        if (!only.empty() && only != name) continue;
        const std::size_t raw = std::size_t(bitmap->Stride()) * std::size_t(bitmap->Height());
        Timings timings;
        std::size_t packed = 0;
        for (int i = 0; i < runs; ++i) {
            const double base = copyTime();
            const double start = Now();
            packed = Packer(bitmap->ScanLine(0), raw).Finish().Bytes();
            timings.Add(Now() - start, base);
        }
        char more[160];
        std::snprintf(more, sizeof more, "; %zu bytes to %zu (%.2f to 1), %zu in %zu MiB", raw,
                      packed, double(raw) / double(packed), History::kDefaultLimit / packed,
                      History::kDefaultLimit >> 20);
        timings.Print(name, more);
    }

    // The scrolling capture's join of one 1024 x 768 frame to the one before: the
    // screenshot's top left, and the same scrolled by 200 rows.
    if ((only.empty() || only == "Stitch") && captured.Width() >= 1024 &&
        captured.Height() >= 968) {
        const glimra::PixelView whole = captured.View();
        const glimra::PixelView before{whole.data, 1024, 768, whole.stride, whole.bytesPerPixel};
        const glimra::PixelView after{whole.Row(200), 1024, 768, whole.stride, whole.bytesPerPixel};
        Timings timings;
        for (int i = 0; i < runs; ++i) {
            glimra::ScrollStitch stitch(before);
            const double base = copyTime();
            const double start = Now();
            const bool joined = stitch.Add(after) == glimra::ScrollStitch::Join::Moved;
            timings.Add(Now() - start, base);
            if (!joined || stitch.Height() != 968) {
                std::printf("Stitch: the frames were not joined\n");
                return 1;
            }
        }
        timings.Print("Stitch");
    }

    // The editor's tools, each chosen by its menu item and used by a drag from
    // (100, 100) to (1900, 1100) (a click there for step numbers); the time is the
    // release's (the press's for step numbers), to the picture changed, the repaint
    // aside.
    // Text is typed at the press and put into the picture when panning is chosen.
    for (const EditorTool& tool : kEditorTools) {
        const std::string name = tool.name;
        const std::string item = "Menu" + name;
        if (!only.empty() && only != name) continue;
        Timings timings;
        for (int i = 0; i < runs; ++i) {
            asCaptured();
            MAIN->Get<ui::TMenuItem>(item.c_str()).Click();
            Settle(application);
            const double base = copyTime();
            // Step numbers change the picture at the press.
            const double pressed = Now();
            MAIN->Image1MouseDown(nullptr, ui::TMouseButton::mbLeft, ui::ssLeft, 100, 100);
            const double pressTime = Now() - pressed;
            MAIN->Image1MouseMove(nullptr, ui::ssLeft, 1000, 600);
            MAIN->Image1MouseMove(nullptr, ui::ssLeft, 1900, 1100);
            PictureTools& tools = glimra::test::MainWindowInternals::Tools(*MAIN);
            for (char c : std::string("Glimra"))
                tools.Key(MSG{MAIN->Handle(), WM_CHAR, WPARAM(c), 0, 0, {}});
            Settle(application);
            const double start = Now();
            if (name == "Text")
                tools.Choose(nullptr);
            else
                MAIN->Image1MouseUp(nullptr, ui::TMouseButton::mbLeft, 0, 1900, 1100);
            timings.Add(name == "StepNumber" ? pressTime : Now() - start, base);
            Settle(application);
            tools.Choose(nullptr);
        }
        timings.Print(name.c_str());
    }

    // 200 objects of every kind the tools make, in a grid of 20 x 10 over the
    // picture. The Select tool drags one of them across its neighbours: a frame is
    // one move of the mouse, to the view repainted (goal: 16 ms). "Objects redrawn"
    // brings all 200 to the front at once, which draws the whole picture again from
    // its own pixels with every object over it: the work that flattening them
    // would take if the view did not already show the flattened picture (goal:
    // 50 ms). "Grayscale, objects" is Grayscale with the objects over the picture,
    // their flattening in its step, beside the Grayscale line above.
    if (only.empty() || only.rfind("Objects", 0) == 0 || only == "Grayscale, objects") {
        PictureTools& tools = glimra::test::MainWindowInternals::Tools(*MAIN);
        MarkObjects& objects = tools.Context().objects;
        const ToolSettings settings = ToolSettings::Load();
        const int columns = 20, rows = 10;
        const int cellWidth = captured.Width() / columns, cellHeight = captured.Height() / rows;
        const auto markUp = [&] {
            ui::TBitmap fresh;
            fresh.Assign(captured);
            glimra::test::MainWindowInternals::NewPicture(*MAIN, fresh);
            for (int k = 0; k < columns * rows; ++k) {
                const int left = (k % columns) * cellWidth + 10,
                          top = (k / columns) * cellHeight + 10;
                MarkObject o =
                    MarkObject::Of(MarkObject::Kind(k % 8), {left, top},
                                   {left + cellWidth * 3 / 4, top + cellHeight * 3 / 4}, settings);
                o.text = "Glimra";
                objects.Add(o);
            }
            Settle(application);
        };
        Timings frames, redrawn, gray;
        for (int i = 0; i < runs; ++i) {
            markUp();
            MAIN->Get<ui::TMenuItem>("MenuSelect").Click();
            // A rectangle where the view shows the picture (the 25th object),
            // pressed inside its frame and dragged over its neighbours.
            const POINT from{4 * cellWidth + 40, cellHeight + 40};
            const MarkObject* dragged = objects.At(from);
            if (!dragged || dragged->kind != MarkObject::Kind::Rectangle) {
                std::printf("Objects: no rectangle at %ld, %ld\n", from.x, from.y);
                return 1;
            }
            const std::uint64_t id = dragged->id;
            const LONG left = dragged->a.x;
            MAIN->Image1MouseDown(nullptr, ui::TMouseButton::mbLeft, ui::ssLeft, from.x, from.y);
            for (int f = 1; f <= 30; ++f) {
                const double base = copyTime();
                const double start = Now();
                MAIN->Image1MouseMove(nullptr, ui::ssLeft, from.x + 4 * f, from.y + 3 * f);
                Settle(application);
                frames.Add(Now() - start, base);
            }
            MAIN->Image1MouseUp(nullptr, ui::TMouseButton::mbLeft, 0, from.x + 120, from.y + 90);
            Settle(application);
            if (objects.Find(id)->a.x != left + 120) {
                std::printf("Objects: the rectangle was not dragged\n");
                return 1;
            }
            std::vector<std::uint64_t> all;
            for (const MarkObject& o : objects.List())
                all.push_back(o.id);
            double base = copyTime();
            double start = Now();
            objects.ToFront(all);
            Settle(application);
            redrawn.Add(Now() - start, base);
            tools.Choose(nullptr);
            PackedWhileIdle();
            Settle(application);
            base = copyTime();
            start = Now();
            MAIN->ImagePopGrayscaleClick(nullptr);
            Settle(application);
            gray.Add(Now() - start, base);
        }
        frames.Print("Objects: drag frame");
        redrawn.Print("Objects redrawn");
        gray.Print("Grayscale, objects");
    }

    char folder[MAX_PATH];
    ::GetTempPathA(MAX_PATH, folder);
    const std::string file = std::string(folder) + "glimra-bench-save";
    const struct {
        const char* name;
        glimra::SaveType type;
    } saves[] = {{"Save BMP", glimra::SaveType::Bmp},
                 {"Save JPEG", glimra::SaveType::Jpeg},
                 {"Save GIF", glimra::SaveType::Gif},
                 {"Save PNG", glimra::SaveType::Png}};
    // Each save writes a new file, as "Save &As..." under a new name does.
    const auto save = [&](glimra::SaveType type) {
        glimra::SavePicture(file, type, picture.View24());
    };
    for (const auto& s : saves)
        report(
            s.name,
            [&] {
                asCaptured();
                ::DeleteFileA(file.c_str());
            },
            [&] { save(s.type); });
    // A save over a file of the same name: the file system writes the new file's
    // data out before the rename replaces the old one, as ext4 does.
    report(
        "Save BMP over it",
        [&] {
            asCaptured();
            if (::GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES)
                save(glimra::SaveType::Bmp);
            asCaptured();
        },
        [&] { save(glimra::SaveType::Bmp); });
    ::DeleteFileA(file.c_str());

    if (fits("Selection"))
        report(
            "Selection", [] {},
            [&] {
                ::SetTimer(nullptr, 0, 10, DragOverScreen);
                MAIN->MenuSelectionClick(nullptr);
                Settle(application);
            });

    // The desktop as the capture command grabs it and hands it to the view (the
    // command's hiding of the window and its shutter sound around it not counted).
    if (fits("Desktop grab"))
        report(
            "Desktop grab", [] {},
            [&] {
                ui::TBitmap grabbed;
                GrabScreen(0, grabbed);
                picture.Replace(grabbed);
            });
    return 0;
}
