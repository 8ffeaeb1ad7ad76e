#include "ui/TPrintDialog.h"

#include <cderr.h>
#include <commdlg.h>

#include <stdexcept>
#include <string>

#include "win/SystemFunction.h"

namespace ui {

TPrintDialog::~TPrintDialog() {
    if (devMode_) ::GlobalFree(devMode_);
    if (devNames_) ::GlobalFree(devNames_);
}

PrinterDC TPrintDialog::Execute(HWND owner) {
    PRINTDLGA pd{};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = owner;
    pd.hDevMode = devMode_;
    pd.hDevNames = devNames_;
    pd.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_HIDEPRINTTOFILE | PD_NOWARNING |
               PD_USEDEVMODECOPIESANDCOLLATE;
    pd.nCopies = 1;
    static const auto printDialog =
        win::SystemFunction<decltype(::PrintDlgA)>("comdlg32.dll", "PrintDlgA");
    const bool ok = printDialog(&pd) != 0;
    // The dialog may have replaced the settings' memory: keep what it hands back.
    devMode_ = pd.hDevMode;
    devNames_ = pd.hDevNames;
    if (ok) return PrinterDC(pd.hDC);
    const DWORD failure = win::CommonDialogError();
    if (failure != 0 && failure != PDERR_NODEFAULTPRN)
        throw std::runtime_error("The print dialog could not be shown (error " +
                                 std::to_string(failure) + ")");
    return PrinterDC();
}

const PropertyRegistry& TPrintDialog::ClassProperties() {
    static const PropertyRegistry registry("TPrintDialog", &TComponent::ClassProperties());
    return registry;
}

}  // namespace ui
