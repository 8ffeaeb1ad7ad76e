#include "testing/ui/ControlsTestForm.h"

#include "testing/desktop/Desktop.h"

namespace glimra::test {

void ControlsTest::SaveScreenshot(HWND window, const std::string& name) {
    RECT r;
    ::GetClientRect(window, &r);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    glimra::test::SaveScreenshot(r, name);
}

}  // namespace glimra::test
