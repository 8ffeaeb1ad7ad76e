#include "app/CommandAvailability.h"

#include "ui/TForm.h"
#include "ui/TMenuItem.h"

CommandAvailability::CommandAvailability(ui::TForm& window) {
    for (const char* name : kPictureCommands) {
        ui::TComponent& command = window.Get<ui::TComponent>(name);
        if (auto* control = dynamic_cast<ui::TControl*>(&command))
            controls_.push_back(control);
        else
            items_.push_back(&window.Get<ui::TMenuItem>(name));
    }
}

void CommandAvailability::Refresh(bool havePicture) {
    for (ui::TControl* control : controls_)
        control->SetEnabled(havePicture);
    for (ui::TMenuItem* item : items_)
        item->SetEnabled(havePicture);
}
