// The page's files say what the sheet says: the band positions that state the
// limits are those it judges by, and the declaration of the module for the
// page's script numbers the field kinds as the core does.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "conversions.h"
#include "sheet.h"
#include "words.h"

namespace kq71wb {
namespace {

std::string fileText(const char* name)
{
    std::ifstream file(std::string(KQ71WB_WEB_DIR) + '/' + name);
    return {std::istreambuf_iterator<char>(file), {}};
}

TEST(Page, StatesTheLimitsTheSheetJudgesBy)
{
    // Where a CG stands along the band, in per cent: 11.7 in -> "21.25%".
    const auto along = [](double inches) {
        return TextOfDouble((inches * 10 - kScaleMinimum) * 100 / (kScaleMaximum - kScaleMinimum)) + '%';
    };
    const std::string style = fileText("style.css");
    const double greenWidth = (kAftCgLimit - kForwardCgLimit) * 100 / ((kScaleMaximum - kScaleMinimum) / 10.0);
    for (const std::string& band : {".bands .forward { left: 0; width: " + along(kForwardCgLimit) + ";",
                                    ".bands .within { left: " + along(kForwardCgLimit) + "; width: " +
                                        TextOfDouble(greenWidth) + "%;",
                                    ".bands .aft { left: " + along(kAftCgLimit) + ";"})
        EXPECT_NE(style.find(band), std::string::npos) << band;
}

// The script takes FieldKind from the module; its declaration states the
// numbers as literal types, which must be the core's.
TEST(Page, DeclaresTheFieldKindsOfTheCore)
{
    std::string kinds;
    for (int kind = 0; kind < kFieldKindCount; ++kind)
        kinds += (kind ? "; " : "") + std::string(kFieldKinds[kind]) + ": " + std::to_string(kind);
    const std::string declared = "export interface FieldKinds { " + kinds + " }";
    EXPECT_NE(fileText("kq71wb.d.ts").find(declared), std::string::npos) << "kq71wb.d.ts should say: " << declared;
}

}  // namespace
}  // namespace kq71wb
