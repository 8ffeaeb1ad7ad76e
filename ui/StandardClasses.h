// Makes the toolkit's own component classes known to the layouts.
#pragma once

namespace ui {

void RegisterStandardClasses();

}  // namespace ui
