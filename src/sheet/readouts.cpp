#include "readouts.h"

#include <algorithm>
#include <cmath>

#include "conversions.h"

namespace kq71wb {
namespace {

constexpr auto kPilot = static_cast<std::size_t>(kPilotRow);

// Every row but the pilot's, summed as Calc sums them; nothing on an overflow.
std::optional<RowSums> loadingOf(const Sheet& sheet)
{
    RowSums loading;
    std::string moment;
    for (std::size_t row = 0; row < Sheet::kRowCount; ++row)
        if (row != kPilot && loading.add(sheet.weight[row], sheet.arm[row], moment))
            return std::nullopt;
    return loading;
}

// Whether the sheet, with a pilot of so many pounds, is within every limit as
// Calc judges it.
bool withinLimits(const Sheet& sheet, long pounds)
{
    if (pounds < 0)
        return false;
    Sheet trial = sheet;
    trial.weight[kPilot] = std::to_string(pounds);
    return !Calc(trial) && !trial.totalsStale && trial.grossWeightVerdict == WeightVerdict::Within &&
           trial.flyCgVerdict == CgVerdict::Within;
}

}  // namespace

std::optional<PilotWeights> pilotWeights(const Sheet& sheet)
{
    const std::optional<RowSums> loading = loadingOf(sheet);
    const std::optional<double> arm = ValueOfText(sheet.arm[kPilot]);
    if (!loading || !arm || !(loading->weight > 0.0))
        return std::nullopt;
    if (loading->weight > 2 * kMaxGrossWeight)
        return PilotWeights{};

    // With a pilot of p pounds the CG is (M + p a) / (W + p); each CG limit
    // bounds p from the side of the limit the pilot sits on: p (a - L) >= L W - M
    // for the forward limit, p (a - L) <= L W - M for the aft one.
    double low = 0.0;
    double high = kMaxGrossWeight - loading->weight;
    for (const auto& [limit, forward] : {std::pair{kForwardCgLimit, true}, std::pair{kAftCgLimit, false}}) {
        const double slope = (forward ? 1 : -1) * (*arm - limit);
        const double needed = (forward ? 1 : -1) * (limit * loading->weight - loading->moment);
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
    const auto green = [&sheet](long pounds) { return withinLimits(sheet, pounds); };
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

std::string readoutWords(const Sheet& sheet, bool totalsCurrent)
{
    const std::optional<RowSums> loading = loadingOf(sheet);
    if (!loading || !(loading->weight > 0.0))
        return {};
    std::string words;
    if (const std::optional<PilotWeights> weights = pilotWeights(sheet)) {
        words = weights->any() ? "Pilot weight for this loading: " + std::to_string(weights->low) + " to " +
                                     std::to_string(weights->high) + " lb."
                               : "No pilot weight keeps this loading within limits.";
    }
    if (totalsCurrent && !sheet.grossWeight.empty()) {
        const double room = decimalDifference(kMaxGrossWeight, sheet.grossWeight);
        if (!words.empty())
            words += ' ';
        words += room >= 0 ? "Room to 900 lb: " + TextOfDouble(room) + " lb." : "Over 900 lb by " + TextOfDouble(-room) + " lb.";
    }
    return words;
}

}  // namespace kq71wb
