#pragma once

// The words of a printed load sheet: what stands above the image of the window
// and what below it. The words carry the verdict, so that a black-and-white
// printer loses nothing; the same lines go to the clipboard.

#include <optional>
#include <string>
#include <vector>

#include "sheet.h"

namespace kq71wb {

struct LoadSheetHeading {
    std::string printedAt;  // "2026-12-07 14:03"
    std::string program;    // "KQ71WB 1.00"
    std::string loading;    // the marked loading's name, or empty
};

struct LoadSheetText {
    std::vector<std::string> above;
    std::vector<std::string> below;
};

LoadSheetText loadSheetText(const Sheet& sheet, const std::optional<CalcFault>& fault, const LoadSheetHeading& heading);

}  // namespace kq71wb
