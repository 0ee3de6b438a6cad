// The page's band positions that state the limits say what the sheet judges
// by: the scale's red and green bands.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "conversions.h"
#include "sheet.h"

namespace kq71wb {
namespace {

std::string fileText(const char* name)
{
    std::ifstream file(std::string(KQ71WB_WEB_DIR) + '/' + name);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Where a CG stands along the band, in per cent: 11.7 in -> "21.25%".
std::string along(double inches)
{
    return TextOfDouble((inches * 10 - kScaleMinimum) * 100 / (kScaleMaximum - kScaleMinimum)) + '%';
}

TEST(Page, StatesTheLimitsTheSheetJudgesBy)
{
    const std::string style = fileText("style.css");
    const double greenWidth = (kAftCgLimit - kForwardCgLimit) * 100 / ((kScaleMaximum - kScaleMinimum) / 10.0);
    for (const std::string& band : {".bands .forward { left: 0; width: " + along(kForwardCgLimit) + ";",
                                    ".bands .within { left: " + along(kForwardCgLimit) + "; width: " +
                                        TextOfDouble(greenWidth) + "%;",
                                    ".bands .aft { left: " + along(kAftCgLimit) + ";"})
        EXPECT_NE(style.find(band), std::string::npos) << band;
}

}  // namespace
}  // namespace kq71wb
