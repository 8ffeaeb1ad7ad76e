// Times the edit commands of the main window under the 32-bit build, each whole
// (conversions, repaints and the bitmap handed to the view included), on a picture
// file given on the command line, starting each time from the picture as a capture
// gives it (32 bits per pixel). Prints the median of five runs per command in
// milliseconds, and as a ratio to memcpy of the picture's bytes.
//   edit_command_times screenshot.png
#include <windows.h>

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "app/Unit3.h"
#include "testing/app/WindowsWithoutReminder.h"
#include "forms/Unit1.h"
#include "forms/Unit2.h"
#include "ui/TApplication.h"
#include "ui/TImage.h"
#include "ui/TTimer.h"

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

double Milliseconds(const std::function<void()>& work) {
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    work();
    ::QueryPerformanceCounter(&end);
    return 1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: edit_command_times picture.png\n");
        return 2;
    }
    ui::TApplication application;
    InitializeProgram(application);
    OpenWindowsWithoutReminder(application);
    ui::TBitmap captured;
    if (!LoadPng(argv[1], captured)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    ui::TImage& view = MAIN->Get<ui::TImage>("Image1");
    const std::size_t bytes = static_cast<std::size_t>(captured.Stride()) * captured.Height();
    std::vector<std::uint8_t> copy(bytes);
    std::vector<double> memcpyTimes;
    for (int i = 0; i < 5; ++i)
        memcpyTimes.push_back(
            Milliseconds([&] { std::memcpy(copy.data(), captured.ScanLine(0), bytes); }));
    const double memcpyTime = Median(memcpyTimes);
    std::printf("%d x %d, memcpy of %zu bytes: %.2f ms\n", captured.Width(), captured.Height(),
                bytes, memcpyTime);
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
    };
    for (const auto& c : commands) {
        std::vector<double> times;
        for (int i = 0; i < 5; ++i) {
            view.SetBitmap(captured);
            while (application.HandleMessage(false)) {
            }
            times.push_back(Milliseconds([&] { (MAIN->*c.command)(nullptr); }));
        }
        const double time = Median(times);
        std::printf("%-16s %8.1f ms  %6.2f x memcpy\n", c.name, time, time / memcpyTime);
    }
    return 0;
}
