// The capture counters: decimal texts of the status labels, counted up by the
// desktop and active-window captures.
#pragma once

#include <string>

// The text after one more capture: a signed 32-bit decimal count plus one. A text
// that is not such a number starts again at "1"; the largest count stays as it is
// rather than wrapping to a negative one.
std::string NextCount(const std::string& count);

namespace ui {
class TForm;
}
// Puts the statistics labels of the status bar, right-aligned and sized to their
// captions, in their order again after their captions changed: hidden, then shown
// from the right, each one entering at the left end of the right-aligned row.
void OrderStatisticsLabels(ui::TForm& window);
