// How long one recalculation and each conversion take. Run with
//   build-bench/bench/sheet_bench
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <iterator>
#include <new>
#include <tuple>

#include "conversions.h"
#include "readouts.h"
#include "words.h"
#include "sheet.h"

// Counts heap allocations, so that the report shows what a pass allocates.
static std::atomic<long> g_allocations{0};

void* operator new(std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace kq71wb {
namespace {

// Runs a pass repeatedly and reports the heap allocations made per pass.
void runPasses(benchmark::State& state, Sheet sheet)
{
    const long before = g_allocations.load();
    for (auto _ : state) {
        benchmark::DoNotOptimize(Calc(sheet));
        benchmark::ClobberMemory();
    }
    state.counters["allocs/pass"] =
        static_cast<double>(g_allocations.load() - before) / static_cast<double>(state.iterations());
}

Sheet typicalFullSheet()
{
    Sheet sheet;
    const char* rows[Sheet::kRowCount][2] = {
        {"612.5", "14.37"}, {"170", "-20"}, {"185", "29.5"}, {"12.4", "60"},
        {"8", "-35.25"},    {"25", "42"},   {"3.5", "110"},  {"1.25", "-48.5"},
    };
    for (std::size_t i = 0; i < Sheet::kRowCount; ++i) {
        sheet.weight[i] = rows[i][0];
        sheet.arm[i] = rows[i][1];
    }
    return sheet;
}

void CalcFullSheet(benchmark::State& state) { runPasses(state, typicalFullSheet()); }
BENCHMARK(CalcFullSheet);

void CalcEmptySheet(benchmark::State& state) { runPasses(state, Sheet{}); }
BENCHMARK(CalcEmptySheet);

// The read-outs beneath the sheet: the pilot weight range, judged by a few
// passes of Calc, and the room to 900 lb.
void ReadoutsFullSheet(benchmark::State& state)
{
    Sheet sheet = typicalFullSheet();
    Calc(sheet);
    KeptRanges kept;  // as a session keeps them
    for (auto _ : state)
        benchmark::DoNotOptimize(readoutWords(sheet, true, -1, &kept));
}
BENCHMARK(ReadoutsFullSheet);

// The pilot's weight typed, the pilot outside the range, six item arms
// typed: each keystroke works out the ballast at every item arm anew.
void ReadoutsBallastKeystroke(benchmark::State& state)
{
    Sheet sheet = typicalFullSheet();
    KeptRanges kept;
    int keystroke = 0;
    for (auto _ : state) {
        sheet.weight[kPilotRow] = std::to_string(300 + keystroke++ % 50);
        Calc(sheet);
        benchmark::DoNotOptimize(readoutWords(sheet, true, -1, &kept));
    }
}
BENCHMARK(ReadoutsBallastKeystroke);

// A light pilot typed into a glider with four item arms where ballast helps:
// each keystroke works out every item's range anew, in pounds and kilograms.
void ReadoutsBallastInKilogramsKeystroke(benchmark::State& state)
{
    Sheet sheet;
    const char* rows[][2] = {{"610", "23.65"}, {"", "-20"}, {"", "-30"}, {"", "60"}, {"", "200"}, {"", "-8"}};
    for (std::size_t i = 0; i < std::size(rows); ++i)
        std::tie(sheet.weight[i], sheet.arm[i]) = std::pair{rows[i][0], rows[i][1]};
    KeptRanges kept;
    int keystroke = 0;
    for (auto _ : state) {
        sheet.weight[kPilotRow] = std::to_string(80 + keystroke++ % 40);
        Calc(sheet);
        benchmark::DoNotOptimize(readoutWords(sheet, true, -1, &kept));
    }
}
BENCHMARK(ReadoutsBallastInKilogramsKeystroke);

// Everything the lines beneath the sheet say after a keystroke.
void LinesBeneathFullSheet(benchmark::State& state)
{
    Sheet sheet = typicalFullSheet();
    Calc(sheet);
    for (auto _ : state)
        benchmark::DoNotOptimize(linesBeneath(sheet, std::nullopt, ""));
}
BENCHMARK(LinesBeneathFullSheet);

void ValueOfTextTyped(benchmark::State& state)
{
    const std::string text = "-35.25";
    for (auto _ : state)
        benchmark::DoNotOptimize(ValueOfText(text));
}
BENCHMARK(ValueOfTextTyped);

// Converts one typical number again and again, hiding it from the optimiser.
template <auto Conversion>
void Convert(benchmark::State& state, double value)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(value);
        benchmark::DoNotOptimize(Conversion(value));
    }
}
void TextOfDoubleMoment(benchmark::State& state) { Convert<&TextOfDouble>(state, 8801.625); }
void FormatCgTypical(benchmark::State& state) { Convert<&FormatCg>(state, 13.456); }
void NearestIntegerTypical(benchmark::State& state) { Convert<&NearestInteger>(state, 134.56); }
BENCHMARK(TextOfDoubleMoment);
BENCHMARK(FormatCgTypical);
BENCHMARK(NearestIntegerTypical);

}  // namespace
}  // namespace kq71wb

BENCHMARK_MAIN();
