#include "app/Statistics.h"

#include <charconv>
#include <cstdint>
#include <limits>

std::string NextCount(const std::string& count) {
    std::int32_t value = 0;
    const char* end = count.data() + count.size();
    auto [last, error] = std::from_chars(count.data(), end, value);
    if (error != std::errc() || last != end || count.empty()) return "1";
    if (value == std::numeric_limits<std::int32_t>::max()) return count;
    return std::to_string(value + 1);
}
