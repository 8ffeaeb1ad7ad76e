#include "ui/ControlsTestForm.h"

#include <cstdio>
#include <cstdlib>

#include "output/byte_sink.h"
#include "output/png_writer.h"
#include "ui/TBitmap.h"

namespace ui::testing {

void ControlsTest::SaveScreenshot(HWND window, const std::string& name) {
    RECT r;
    ::GetClientRect(window, &r);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    TBitmap shot;
    shot.SetPixelFormat(TPixelFormat::pf24bit);
    shot.SetSize(r.right - r.left, r.bottom - r.top);
    WindowDC screen = WindowDC::Of(nullptr);
    ::BitBlt(shot.Canvas().Handle(), 0, 0, shot.Width(), shot.Height(), screen.Get(), r.left, r.top,
             SRCCOPY);
    const char* root = std::getenv("GLIMRA_TEST_OUTPUT");
    std::string folder = std::string(root ? root : ".") + "/screenshots";
    ::CreateDirectoryA(root ? root : ".", nullptr);
    ::CreateDirectoryA(folder.c_str(), nullptr);
    std::FILE* file = std::fopen((folder + "/" + name + ".png").c_str(), "wb");
    ASSERT_NE(file, nullptr) << folder;
    glimra::FileSink sink(file);
    glimra::WritePng(shot.View(), sink);
    std::fclose(file);
}

}  // namespace ui::testing
