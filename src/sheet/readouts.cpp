#include "readouts.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>

#include "conversions.h"
#include "words.h"

namespace kq71wb {
namespace {

constexpr auto kPilot = static_cast<std::size_t>(kPilotRow);

// Every row but one, read as Calc reads it, and their sums.
struct Loading {
    std::size_t solvedRow = 0;  // the row left out, whose weight is solved for
    std::array<std::pair<double, double>, Sheet::kRowCount> rows{};  // weight, moment as shown
    RowSums sums;
};

// Nothing when a row overflows.
std::optional<Loading> loadingOf(const Sheet& sheet, std::size_t solvedRow)
{
    Loading loading;
    loading.solvedRow = solvedRow;
    std::string moment;
    for (std::size_t row = 0; row < Sheet::kRowCount; ++row) {
        if (row == solvedRow)
            continue;
        RowSums one;
        if (one.add(sheet.weight[row], sheet.arm[row], moment) || loading.sums.add(one.weight, one.moment))
            return std::nullopt;
        loading.rows[row] = {one.weight, one.moment};
    }
    return loading;
}

// Whether the loading, with so many pounds in the solved row at this arm, is
// within every limit as Calc judges it: the rows are summed in their order
// and the totals judged by Calc's own verdicts, so that the range can never
// disagree with the colours. (A CG within limits always fits the scale.)
bool withinLimitsCarrying(const Loading& loading, const std::string& arm, std::string_view weightText)
{
    RowSums sums;
    std::string moment;
    for (std::size_t row = 0; row < Sheet::kRowCount; ++row) {
        const auto& [weight, shownMoment] = loading.rows[row];
        if (row == loading.solvedRow ? sums.add(weightText, arm, moment) : sums.add(weight, shownMoment))
            return false;
    }
    if (!(sums.weight > 0.0))
        return false;
    const double cg = sums.moment / sums.weight;
    return weightVerdictOf(sums.weight) == WeightVerdict::Within && std::isfinite(cg) &&
           cgVerdictOf(cg) == CgVerdict::Within;
}

std::optional<WeightRange> weightsOf(const Loading& loading, const std::string& armText)
{
    const std::optional<double> arm = ValueOfText(armText);
    const double weight = loading.sums.weight;
    if (!arm || !(weight > 0.0))
        return std::nullopt;
    if (weight > 2 * kMaxGrossWeight)
        return WeightRange{};

    // With w pounds at arm a the CG is (M + w a) / (W + w); each CG limit
    // bounds w from the side of the limit the arm lies on: w (a - L) >= L W - M
    // for the forward limit, w (a - L) <= L W - M for the aft one.
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
            return WeightRange{};
    }

    // Judged as Calc judges, to 15 digits, an end may lie a pound off the
    // closed form; a few steps find it, and an answer that still does not
    // hold is not given.
    constexpr int kSteps = 3;
    long lo = std::lround(std::ceil(std::clamp(low, -1.0, 4 * kMaxGrossWeight)));
    long hi = std::lround(std::floor(std::clamp(high, -1.0, 4 * kMaxGrossWeight)));
    const auto green = [&](long pounds) {
        return pounds >= 0 && withinLimitsCarrying(loading, armText, std::to_string(pounds));
    };
    if (lo > hi) {
        const long near[] = {hi, lo};
        const auto found = std::find_if(std::begin(near), std::end(near), green);
        if (found == std::end(near))
            return WeightRange{};
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
        return WeightRange{};
    if (!green(lo) || !green(hi) || green(lo - 1) || green(hi + 1))
        return std::nullopt;
    WeightRange range{static_cast<int>(lo), static_cast<int>(hi)};

    // The whole kilograms lie between the pounds just outside the range, a
    // kilogram being more than two pounds: a step or two from either end.
    const auto wholeKg = [](long pounds, Rounding rounding) {
        return (std::max(pounds, 0L) * 45359237LL + (rounding == Rounding::Up ? 99999999 : 0)) / 100000000;
    };
    // The first green kilogram from one end towards the other, a few steps
    // at most: a kilogram not tried is not offered.
    const auto firstGreen = [&](long long from, long long to) -> std::optional<int> {
        const long long step = from <= to ? 1 : -1;
        for (long long kg = from, tries = 0; (kg - to) * step <= 0 && tries < kSteps; kg += step, ++tries)
            if (withinLimitsCarrying(loading, armText, poundsOfKilograms(static_cast<int>(kg))))
                return static_cast<int>(kg);
        return std::nullopt;
    };
    if (const std::optional<int> lowKg = firstGreen(wholeKg(lo - 1, Rounding::Up), wholeKg(hi + 1, Rounding::Down)))
        std::tie(range.lowKg, range.highKg) =
            std::pair{*lowKg, firstGreen(wholeKg(hi + 1, Rounding::Down), *lowKg).value_or(*lowKg)};
    return range;
}

struct Range {
    bool loaded = false;  // the other rows weigh more than zero
    std::optional<WeightRange> weights;
};

Range rangeOf(const Sheet& sheet, std::size_t solvedRow, KeptRanges* kept)
{
    std::array<std::string_view, std::tuple_size_v<decltype(KeptRange::texts)>> texts;
    for (std::size_t row = 0, n = 0; row < Sheet::kRowCount; ++row) {
        if (row != solvedRow)
            texts[n++] = sheet.weight[row];
        texts[n++] = sheet.arm[row];
    }
    std::optional<KeptRange>* last = kept ? &kept->rows[solvedRow] : nullptr;
    if (last && *last && std::equal(texts.begin(), texts.end(), (*last)->texts.begin()))
        return {(*last)->loaded, (*last)->weights};
    const std::optional<Loading> loading = loadingOf(sheet, solvedRow);
    const Range range{loading && loading->sums.weight > 0.0,
                      loading ? weightsOf(*loading, sheet.arm[solvedRow]) : std::nullopt};
    if (last) {
        *last = KeptRange{{}, range.loaded, range.weights};
        std::copy(texts.begin(), texts.end(), (*last)->texts.begin());
    }
    return range;
}

// "(11 kg)", or "(no whole kg)" when no whole kilogram keeps the sheet within limits.
std::string kilograms(const WeightRange& range, bool low)
{
    return range.anyKg() ? " (" + std::to_string(low ? range.lowKg : range.highKg) + " kg)" : " (no whole kg)";
}

// "Item 3 (Nose ballast, -30 in)", or "item 3 (-30 in)" within a sentence:
// the arm as read, as the sums used it; given only where it reads.
std::string itemWords(const Sheet& sheet, std::size_t row, bool capital)
{
    const std::string& description = sheet.description[row];
    return (capital ? "Item " : "item ") + std::to_string(row + 1) + " (" +
           (isBlank(description) ? "" : isolated(shortened(description)) + ", ") +
           figureAsRead(sheet.arm[row]) + " in)";
}

std::string itemRangeWords(const Sheet& sheet, std::size_t row, KeptRanges* kept)
{
    const std::optional<WeightRange> range = rangeOf(sheet, row, kept).weights;
    if (!range)
        return {};
    std::string weights = "no weight";
    if (range->any() && range->low == 0)
        weights = "up to " + std::to_string(range->high) + " lb" + kilograms(*range, false);
    else if (range->any())
        weights = rangeWords(*range);
    return itemWords(sheet, row, true) + ": " + weights + " keeps the sheet within limits.";
}

// The least (or most) weight at each item arm typed that makes the pilot
// legal, when the pilot as typed is not.
std::string ballastWords(const Sheet& sheet, const WeightRange& pilot, KeptRanges* kept)
{
    const std::string& pilotText = sheet.weight[kPilot];
    const std::optional<double> pilotWeight = ValueOfText(pilotText);
    if (isBlank(pilotText) || !pilotWeight || withinLimits(sheet) ||
        (pilot.any() && *pilotWeight >= pilot.low && *pilotWeight <= pilot.high))
        return {};
    const std::string pilotPounds = TextOfDouble(*pilotWeight);
    const std::string who = withArticle(pilotPounds, true) + " lb pilot";
    std::string words;
    bool anyArm = false;
    for (auto row = static_cast<std::size_t>(kFirstDescribedRow); row < Sheet::kRowCount; ++row) {
        if (isBlank(sheet.arm[row]))
            continue;
        anyArm = true;
        const std::optional<WeightRange> range = rangeOf(sheet, row, kept).weights;
        const double now = ValueOfText(sheet.weight[row]).value_or(0.0);
        if (!range || !range->any())
            continue;
        const bool more = now < range->low;
        if (!more && now <= range->high)
            continue;
        const int pounds = more ? range->low : range->high;
        words += (words.empty() ? "" : " ") + who + " needs " + (more ? "at least " : "at most ") +
                 std::to_string(pounds) + " lb" + kilograms(*range, more) + " at " + itemWords(sheet, row, false) + '.';
    }
    if (anyArm && words.empty())
        words = "No weight at the item arms typed makes " + withArticle(pilotPounds) + " lb pilot legal.";
    return words;
}

void addSentence(std::string& words, const std::string& sentence)
{
    if (!sentence.empty())
        words += (words.empty() ? "" : " ") + sentence;
}

}  // namespace

std::optional<WeightRange> rowWeights(const Sheet& sheet, int row)
{
    if (row < 0 || row >= Sheet::kRowCount)
        return std::nullopt;
    return rangeOf(sheet, static_cast<std::size_t>(row), nullptr).weights;
}

std::string rangeWords(const WeightRange& range)
{
    return std::to_string(range.low) + " to " + std::to_string(range.high) + " lb (" +
           (range.anyKg() ? std::to_string(range.lowKg) + " to " + std::to_string(range.highKg) + " kg" : "no whole kg") +
           ")";
}

std::string readoutWords(const Sheet& sheet, bool totalsCurrent, int itemRow, KeptRanges* kept)
{
    const Range range = rangeOf(sheet, kPilot, kept);
    if (!range.loaded)
        return {};
    std::string words;
    if (itemRow >= kFirstDescribedRow && itemRow < Sheet::kRowCount &&
        !isBlank(sheet.arm[static_cast<std::size_t>(itemRow)]))
        words = itemRangeWords(sheet, static_cast<std::size_t>(itemRow), kept);
    if (const std::optional<WeightRange>& weights = range.weights) {
        addSentence(words, weights->any() ? "Pilot weight for this loading: " + rangeWords(*weights) + '.'
                                          : "No pilot weight keeps this loading within limits.");
        if (totalsCurrent)
            addSentence(words, ballastWords(sheet, *weights, kept));
    }
    if (totalsCurrent && !sheet.grossWeight.empty()) {
        const double room = decimalDifference(kMaxGrossWeight, sheet.grossWeight);
        const std::string limit = maxGrossWeightText() + " lb";
        const std::string pounds = TextOfDouble(std::abs(room));
        // A figure too large to say in kilograms goes without them.
        const std::optional<std::string> kg = kilogramsOf(pounds, 1, room >= 0 ? Rounding::Down : Rounding::Up);
        const std::string both = pounds + " lb" + (kg ? " (" + *kg + " kg)" : "") + '.';
        addSentence(words, room >= 0 ? "Room to " + limit + ": " + both : "Over " + limit + " by " + both);
    }
    return words;
}

}  // namespace kq71wb
