// The print-dialog component: the platform's print dialog (PrintDlg) without
// page ranges, selection or print-to-file, and without the warning about a
// missing default printer. The printer and settings chosen last are kept for
// the next use.
#pragma once

#include <windows.h>

#include "ui/TComponent.h"
#include "win/handles.h"

namespace ui {

// A device context of a printer, deleted with DeleteDC.
using PrinterDC = win::Owned<win::HandleTraits<HDC, ::DeleteDC>>;

class TPrintDialog : public TComponent {
  public:
    explicit TPrintDialog(TComponent* owner) : TComponent(owner) {}
    ~TPrintDialog() override;

    // Shows the dialog modally over `owner`. On OK: a drawing context of the
    // chosen printer with the chosen settings (orientation, paper, copies).
    // Cancelled, or no printer to choose from: an empty one. Throws when the
    // dialog itself fails.
    PrinterDC Execute(HWND owner);

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

  private:
    HGLOBAL devMode_ = nullptr, devNames_ = nullptr;
};

}  // namespace ui
