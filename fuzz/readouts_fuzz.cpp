// Random sheets, mostly of plausible figures: every whole pound in the pilot
// weight range the read-outs state is green as Calc judges it, a pound beyond
// either end (when not below zero) is red, and "no pilot weight" is never
// stated while some pilot from 0 to 900 lb would be green; an item's range,
// the ballast and the envelope chart come of any figures without a fault.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "conversions.h"
#include "envelope.h"
#include "readouts.h"
#include "words.h"

using namespace kq71wb;

namespace {

// Hundredths written as a figure: -2000 -> "-20".
std::string written(int hundredths) { return TextOfDouble(hundredths / 100.0); }

// Mostly a figure near `base` (in hundredths), which running out of data
// leaves as it is; now and then empty, or any text at all.
std::string figure(FuzzedDataProvider& data, std::optional<int> base, int spread)
{
    switch (data.ConsumeIntegralInRange(0, 7)) {
    case 0: return base ? written(*base) : std::string();
    case 1: return data.ConsumeRandomLengthString(16);
    case 2: return {};
    default: return written(base.value_or(0) + data.ConsumeIntegralInRange(-spread, spread));
    }
}

void check(bool holds)
{
    if (!holds)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    FuzzedDataProvider data(bytes, size);
    // Around the sample loading, 610 lb at 23.65 in with the pilot at -20 in,
    // which allows pilots of 130 to 229 lb.
    Sheet sheet;
    sheet.weight[0] = figure(data, 61000, 90000);
    sheet.arm[0] = figure(data, 2365, 6000);
    sheet.arm[1] = figure(data, -2000, 6000);
    for (int row = 2; row < Sheet::kRowCount; ++row) {
        sheet.weight[row] = figure(data, std::nullopt, 20000);
        sheet.arm[row] = figure(data, std::nullopt, 6000);
    }
    const auto green = [&sheet](int pounds) {
        Sheet trial = sheet;
        trial.weight[1] = std::to_string(pounds);
        return pounds >= 0 && !Calc(trial) && verdictWords(trial) == "Within limits.";
    };

    if (const std::optional<WeightRange> range = pilotWeights(sheet); range && range->any()) {
        for (int pounds = range->low; pounds <= range->high; ++pounds)
            check(green(pounds));
        check(!green(range->low - 1) && !green(range->high + 1));
    }
    if (readoutWords(sheet, true).starts_with("No pilot weight"))
        for (int pounds = 0; pounds <= 900; ++pounds)
            check(!green(pounds));
    // Any item's range, the ballast and the chart, from any figures, under the sanitizers.
    Calc(sheet);
    const std::string words = readoutWords(sheet, true, 2);
    check(words.empty() || isBlank(sheet.arm[2]) || !rowWeights(sheet, 2) || words.starts_with("Item 3 ("));
    check(envelopeOf(sheet, true).pilotLine.size() % 25 == 0);
    return 0;
}
