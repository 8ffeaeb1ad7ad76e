#include "app/OutputCommands.h"

#include "app/CurrentPicture.h"
#include "app/effects/PictureEffects.h"
#include "output/windows/clipboard_copy.h"
#include "output/windows/picture_save.h"
#include "output/windows/print_job.h"
#include "ui/TApplication.h"
#include "ui/TForm.h"
#include "ui/TPrintDialog.h"
#include "ui/TSaveDialog.h"

void OutputCommands::Save() {
    if (!saveDialog_.Execute(window_.Handle())) return;
    const glimra::SaveType type = glimra::SaveTypeAt(saveFilterIndex_);
    SaveCurrentPicture(picture_, saveDialog_.FileName(), type);
}

void OutputCommands::SaveTypeChanged() {
    saveFilterIndex_ = saveDialog_.FilterIndex();
}

void OutputCommands::Print() {
    ui::TBitmap flat;
    const glimra::PixelView picture = OpaquePixels(picture_, flat);
    ui::PrinterDC printer = printDialog_.Execute(window_.Handle());
    if (!printer) return;
    {
        // The hourglass while the page is made; the default cursor on every path.
        struct Hourglass {
            Hourglass() { ui::Application->SetScreenCursor(ui::crHourGlass); }
            ~Hourglass() { ui::Application->SetScreenCursor(ui::crDefault); }
        } hourglass;
        glimra::PrintPicture(printer.Get(), picture);
    }
    // Only a document that was ended without error counts as printed.
    ::MessageBoxA(window_.Handle(), "Bitmap printed", ui::Application->Title().c_str(), MB_OK);
}

void OutputCommands::Copy() {
    CopyCurrentPicture(window_.Handle(), picture_);
}
