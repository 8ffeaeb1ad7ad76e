// Makes the toolkit's own component classes known to the layouts: called once at
// start-up, before the first layout is loaded.
#pragma once

namespace ui {

void RegisterStandardClasses();

}  // namespace ui
