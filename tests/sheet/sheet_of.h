#pragma once

// The sheet builder the sheet, word, read-out and load-sheet tests share.

#include <string>
#include <utility>
#include <vector>

#include "sheet.h"

namespace kq71wb {

using Rows = std::vector<std::pair<std::string, std::string>>;  // weight, arm; row 1 is the pilot

inline Sheet sheetOf(const Rows& rows)
{
    Sheet sheet;
    for (std::size_t i = 0; i < rows.size(); ++i)
        std::tie(sheet.weight[i], sheet.arm[i]) = rows[i];
    return sheet;
}

// The sheet after one pass, as the window shows it.
inline Sheet passed(const Rows& rows)
{
    Sheet sheet = sheetOf(rows);
    Calc(sheet);
    return sheet;
}

}  // namespace kq71wb
