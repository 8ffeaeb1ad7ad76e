#include "forms/Unit2.h"

TForm22* Form22 = nullptr;

TForm22::TForm22(ui::TComponent* owner) : ui::TForm(owner) {}
