#include "forms/Unit1.h"

Tabout* about = nullptr;

Tabout::Tabout(ui::TComponent* owner) : ui::TForm(owner) {}
