#include "readouts.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "conversions.h"
#include "words.h"

namespace kq71wb {
namespace {

constexpr auto kPilot = static_cast<std::size_t>(kPilotRow);

// Every row but the pilot's, read as Calc reads it, and their sums.
struct Loading {
    std::array<std::pair<double, double>, Sheet::kRowCount> rows{};  // weight, moment as shown
    RowSums sums;
};

// Nothing when a row overflows.
std::optional<Loading> loadingOf(const Sheet& sheet)
{
    Loading loading;
    std::string moment;
    for (std::size_t row = 0; row < Sheet::kRowCount; ++row) {
        if (row == kPilot)
            continue;
        RowSums one;
        if (one.add(sheet.weight[row], sheet.arm[row], moment) || loading.sums.add(one.weight, one.moment))
            return std::nullopt;
        loading.rows[row] = {one.weight, one.moment};
    }
    return loading;
}

// Whether the loading, with a pilot of so many pounds at this arm, is within
// every limit as Calc judges it: the rows are summed in their order and the
// totals judged by Calc's own last steps, so that the range can never
// disagree with the colours.
bool withinLimits(const Loading& loading, const std::string& pilotArm, long pounds)
{
    if (pounds < 0)
        return false;
    RowSums sums;
    std::string moment;
    for (std::size_t row = 0; row < Sheet::kRowCount; ++row) {
        const auto& [weight, shownMoment] = loading.rows[row];
        if (row == kPilot ? sums.add(std::to_string(pounds), pilotArm, moment) : sums.add(weight, shownMoment))
            return false;
    }
    Sheet trial;
    return !CalcTotals(trial, sums) && !trial.totalsStale && trial.grossWeightVerdict == WeightVerdict::Within &&
           trial.flyCgVerdict == CgVerdict::Within;
}

std::optional<PilotWeights> pilotWeightsOf(const Loading& loading, const std::string& pilotArm)
{
    const std::optional<double> arm = ValueOfText(pilotArm);
    const double weight = loading.sums.weight;
    if (!arm || !(weight > 0.0))
        return std::nullopt;
    if (weight > 2 * kMaxGrossWeight)
        return PilotWeights{};

    // With a pilot of p pounds the CG is (M + p a) / (W + p); each CG limit
    // bounds p from the side of the limit the pilot sits on: p (a - L) >= L W - M
    // for the forward limit, p (a - L) <= L W - M for the aft one.
    double low = 0.0;
    double high = kMaxGrossWeight - weight;
    for (const auto& [limit, forward] : {std::pair{kForwardCgLimit, true}, std::pair{kAftCgLimit, false}}) {
        const double slope = (forward ? 1 : -1) * (*arm - limit);
        const double needed = (forward ? 1 : -1) * (limit * weight - loading.sums.moment);
        if (slope > 0)
            low = std::max(low, needed / slope);
        else if (slope < 0)
            high = std::min(high, needed / slope);
        else if (needed > 0)
            return PilotWeights{};
    }

    // Judged as Calc judges, to 15 digits, an end may lie a pound off the
    // closed form; a few steps find it, and an answer that still does not
    // hold is not given.
    constexpr int kSteps = 3;
    long lo = std::lround(std::ceil(std::clamp(low, -1.0, 4 * kMaxGrossWeight)));
    long hi = std::lround(std::floor(std::clamp(high, -1.0, 4 * kMaxGrossWeight)));
    const auto green = [&](long pounds) { return withinLimits(loading, pilotArm, pounds); };
    if (lo > hi) {
        const long near[] = {hi, lo};
        const auto found = std::find_if(std::begin(near), std::end(near), green);
        if (found == std::end(near))
            return PilotWeights{};
        lo = hi = *found;
    }
    for (int step = 0; step < kSteps && lo <= hi && !green(lo); ++step)
        ++lo;
    for (int step = 0; step < kSteps && hi >= lo && !green(hi); ++step)
        --hi;
    for (int step = 0; step < kSteps && green(lo - 1); ++step)
        --lo;
    for (int step = 0; step < kSteps && green(hi + 1); ++step)
        ++hi;
    if (lo > hi)
        return PilotWeights{};
    if (!green(lo) || !green(hi) || green(lo - 1) || green(hi + 1))
        return std::nullopt;
    return PilotWeights{static_cast<int>(lo), static_cast<int>(hi)};
}

// What the range depends on: every text of the sheet but the pilot's weight.
std::array<std::string_view, 2 * Sheet::kRowCount - 1> rangeTexts(const Sheet& sheet)
{
    std::array<std::string_view, 2 * Sheet::kRowCount - 1> texts;
    std::size_t n = 0;
    for (std::size_t row = 0; row < Sheet::kRowCount; ++row) {
        if (row != kPilot)
            texts[n++] = sheet.weight[row];
        texts[n++] = sheet.arm[row];
    }
    return texts;
}

struct Range {
    bool loaded = false;  // the loading weighs more than zero
    std::optional<PilotWeights> weights;
};

Range rangeOf(const Sheet& sheet)
{
    // Typing the pilot's weight, the field typed most, changes nothing the
    // range depends on: the last range is kept while the other texts stay.
    thread_local std::array<std::string, 2 * Sheet::kRowCount - 1> lastTexts;
    thread_local std::optional<Range> last;
    const auto texts = rangeTexts(sheet);
    if (last && std::equal(texts.begin(), texts.end(), lastTexts.begin()))
        return *last;
    const std::optional<Loading> loading = loadingOf(sheet);
    last = Range{loading && loading->sums.weight > 0.0,
                 loading ? pilotWeightsOf(*loading, sheet.arm[kPilot]) : std::nullopt};
    std::copy(texts.begin(), texts.end(), lastTexts.begin());
    return *last;
}

}  // namespace

std::optional<PilotWeights> pilotWeights(const Sheet& sheet) { return rangeOf(sheet).weights; }

std::string readoutWords(const Sheet& sheet, bool totalsCurrent)
{
    const Range range = rangeOf(sheet);
    if (!range.loaded)
        return {};
    std::string words;
    if (const std::optional<PilotWeights>& weights = range.weights) {
        words = weights->any() ? "Pilot weight for this loading: " + std::to_string(weights->low) + " to " +
                                     std::to_string(weights->high) + " lb."
                               : "No pilot weight keeps this loading within limits.";
    }
    if (totalsCurrent && !sheet.grossWeight.empty()) {
        const double room = decimalDifference(kMaxGrossWeight, sheet.grossWeight);
        if (!words.empty())
            words += ' ';
        const std::string limit = maxGrossWeightText() + " lb";
        words += room >= 0 ? "Room to " + limit + ": " + TextOfDouble(room) + " lb."
                           : "Over " + limit + " by " + TextOfDouble(-room) + " lb.";
    }
    return words;
}

}  // namespace kq71wb
