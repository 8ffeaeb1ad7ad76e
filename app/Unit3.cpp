#include "app/Unit3.h"

TMAIN* MAIN = nullptr;

TMAIN::TMAIN(ui::TComponent* owner) : ui::TForm(owner) {
    Handler("FormCreate", &TMAIN::FormCreate);
    Handler("FormHide", &TMAIN::FormHide);
}

void TMAIN::FormCreate(ui::TObject*) {}

void TMAIN::FormHide(ui::TObject*) {
    // The hidden window goes to the top of the stacking order, so that it comes
    // back in front when it is shown again.
    ::SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}
