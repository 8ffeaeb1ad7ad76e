// Text alignment names that labels and static texts share.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace ui {

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TTextLayout { tlTop, tlCenter, tlBottom };

inline std::vector<std::pair<std::string, int>> AlignmentNames() {
    return {{"taLeftJustify", 0}, {"taRightJustify", 1}, {"taCenter", 2}};
}

}  // namespace ui
