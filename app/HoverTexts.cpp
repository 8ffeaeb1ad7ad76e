#include "app/HoverTexts.h"

#include "ui/TForm.h"

namespace {

const char* const kHoverButtons[] = {
    "ButtonCapture",       "ButtonCaptureActive", "ButtonSave",       "ButtonBrush",
    "ButtonClear",         "ButtonPrint",         "ButtonAbout",      "ButtonEditCopy",
    "ButtonEditGrayscale", "ButtonEditBrighten",  "ButtonEditDarken", "ButtonEditInvert",
    "ButtonEditRotate",    "ButtonPixelate",      "ButtonTools",
};

}  // namespace

NamedHandlers HoverHandlers(ui::TForm& form) {
    NamedHandlers handlers;
    for (const std::string name : kHoverButtons) {
        handlers.push_back({name + "MouseEnter", [&form, name](ui::TObject*) {
                                form.Get<ui::TControl>("info").SetCaption(
                                    form.Get<ui::TControl>(name.c_str()).Hint());
                            }});
        handlers.push_back({name + "MouseLeave", [&form](ui::TObject*) {
                                form.Get<ui::TControl>("info").SetCaption("");
                            }});
    }
    return handlers;
}
