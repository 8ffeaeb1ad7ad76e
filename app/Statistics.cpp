#include "app/Statistics.h"

#include <charconv>
#include <cstdint>
#include <limits>

#include "ui/TForm.h"

std::string NextCount(const std::string& count) {
    std::int32_t value = 0;
    const char* end = count.data() + count.size();
    auto [last, error] = std::from_chars(count.data(), end, value);
    if (error != std::errc() || last != end || count.empty()) return "1";
    if (value == std::numeric_limits<std::int32_t>::max()) return count;
    return std::to_string(value + 1);
}

void OrderStatisticsLabels(ui::TForm& window) {
    // From the left.
    const char* const labels[] = {"SM", "FS", "Label2", "AW", "Label3"};
    for (const char* name : labels)
        window.Get<ui::TControl>(name).SetVisible(false);
    for (auto name = std::rbegin(labels); name != std::rend(labels); ++name) {
        ui::TControl& label = window.Get<ui::TControl>(*name);
        label.SetLeft(-label.Width());
        label.SetVisible(true);
    }
}
