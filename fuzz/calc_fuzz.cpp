// Arbitrary texts in the sixteen fields of a sheet that already shows stale
// figures: a pass never crashes, writes each moment as the text of the product
// it came from, totals what it shows, and on a fault leaves everything from
// the faulting step on as it was.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "conversions.h"
#include "sheet.h"

using namespace kq71wb;

namespace {

void check(bool holds)
{
    if (!holds)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Sheet sheet;
    const std::string input(reinterpret_cast<const char*>(data), size);
    // Fields are separated by a 0xFF byte, as no field text needs one.
    std::size_t start = 0;
    for (std::size_t field = 0; field < 2 * Sheet::kRowCount && start <= input.size(); ++field) {
        std::size_t end = input.find('\xff', start);
        if (end == std::string::npos)
            end = input.size();
        (field % 2 == 0 ? sheet.weight : sheet.arm)[field / 2] = input.substr(start, end - start);
        start = end + 1;
    }
    for (std::string& moment : sheet.moment)
        moment = "stale";
    sheet.grossWeight = sheet.grossMoment = sheet.flyCg = "stale";
    const Sheet before = sheet;

    const std::optional<CalcFault> fault = Calc(sheet);

    // Rows up to the fault carry new moments; the faulting row keeps its old
    // one when reading it or forming its product failed.
    std::size_t written = Sheet::kRowCount;
    if (fault && fault->row >= 0)
        written = static_cast<std::size_t>(fault->row) + (fault->step == FaultStep::RowSum ? 1 : 0);
    check(!fault || fault->row < Sheet::kRowCount);
    double weights = 0.0, moments = 0.0;
    for (std::size_t i = 0; i < Sheet::kRowCount; ++i) {
        if (i >= written) {
            check(sheet.moment[i] == before.moment[i]);
            continue;
        }
        const std::optional<double> weight = ValueOfText(sheet.weight[i]);
        const std::optional<double> arm = ValueOfText(sheet.arm[i]);
        check(weight && arm && sheet.moment[i] == TextOfDouble(*weight * *arm));
        weights += *weight;
        moments += ValueOfText(sheet.moment[i]).value_or(0.0);
    }

    const bool rowsComplete = !fault || fault->step == FaultStep::CentreOfGravity || fault->step == FaultStep::Scale;
    if (!rowsComplete || !(weights > 0.0)) {
        check(sheet.grossWeight == "stale" && sheet.grossMoment == "stale" && sheet.flyCg == "stale");
        check(!sheet.grossWeightVerdict && !sheet.flyCgVerdict && !sheet.sliderValue);
        return 0;
    }
    check(sheet.grossWeight == TextOfDouble(weights) && sheet.grossMoment == TextOfDouble(moments));
    check(sheet.grossWeightVerdict.has_value());
    if (fault && fault->step == FaultStep::CentreOfGravity) {
        check(sheet.flyCg == "stale" && !sheet.flyCgVerdict && !sheet.sliderValue);
        return 0;
    }
    check(sheet.flyCg == FormatCg(moments / weights));
    check(fault ? !sheet.flyCgVerdict && !sheet.sliderValue : sheet.flyCgVerdict && sheet.sliderValue);
    return 0;
}
