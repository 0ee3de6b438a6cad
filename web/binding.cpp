// The page's way into the C++ core: plain structs that embind copies to and
// from JavaScript objects, and the calls that fill them. Nothing is computed
// or worded here. embind 3.1.6 cannot pass a std::optional, so an absent
// verdict, fault or colour travels as -1, and an absent number with a flag.
#include <emscripten/bind.h>

#include "conversions.h"
#include "load_sheet.h"
#include "loadings.h"
#include "readouts.h"
#include "sheet.h"
#include "version.h"

namespace kq71wb::web {

using Rows = std::array<std::string, Sheet::kRowCount>;

// The Sheet, which the page keeps between passes and hands back with new
// weights and arms: a pass that faults leaves the rest as it was.
struct SheetState {
    Rows weight, arm, moment;
    std::string grossWeight, grossMoment, flyCg;
    int grossWeightVerdict = -1;  // a WeightVerdict
    int flyCgVerdict = -1;        // a CgVerdict
    bool hasSliderValue = false;
    int sliderValue = 0;
    bool totalsStale = false;
};

struct PilotRange {
    bool known = false;  // false: nothing to tell
    int low = 0;
    int high = -1;       // below low: no pilot weight keeps the loading within limits
};

// One pass of Calc and everything the sheet then says.
struct Pass {
    SheetState sheet;
    int faultStep = -1;  // a FaultStep
    int faultRow = -1;
    std::string faultWords;
    std::string statusWords, totalsWords, verdictWords, misreadWords;
    std::string readoutWords, scaleWords;
    std::string grossWeightWords, flyCgWords;  // colourWords of each verdict
    int grossWeightColor = -1, flyCgColor = -1;  // OleColor, 0x00BBGGRR
    PilotRange pilotWeights;
};

struct NumberValue {
    bool overflow = false;
    double value = 0.0;
};

struct IntegerValue {
    bool fits = false;
    int value = 0;
};

struct LoadSheetLines {
    std::vector<std::string> above, below;
};

template <class Verdict>
int indexOf(const std::optional<Verdict>& verdict)
{
    return verdict ? static_cast<int>(*verdict) : -1;
}

template <class Verdict>
std::optional<Verdict> verdictAt(int index)
{
    return index < 0 ? std::nullopt : std::optional(static_cast<Verdict>(index));
}

Sheet toSheet(const SheetState& state)
{
    Sheet sheet;
    sheet.weight = state.weight;
    sheet.arm = state.arm;
    sheet.moment = state.moment;
    sheet.grossWeight = state.grossWeight;
    sheet.grossMoment = state.grossMoment;
    sheet.flyCg = state.flyCg;
    sheet.grossWeightVerdict = verdictAt<WeightVerdict>(state.grossWeightVerdict);
    sheet.flyCgVerdict = verdictAt<CgVerdict>(state.flyCgVerdict);
    if (state.hasSliderValue)
        sheet.sliderValue = state.sliderValue;
    sheet.totalsStale = state.totalsStale;
    return sheet;
}

SheetState toState(const Sheet& sheet)
{
    return {sheet.weight, sheet.arm, sheet.moment, sheet.grossWeight, sheet.grossMoment, sheet.flyCg,
            indexOf(sheet.grossWeightVerdict), indexOf(sheet.flyCgVerdict), sheet.sliderValue.has_value(),
            sheet.sliderValue.value_or(0), sheet.totalsStale};
}

std::optional<CalcFault> faultAt(int step, int row)
{
    return step < 0 ? std::nullopt : std::optional(CalcFault{static_cast<FaultStep>(step), row});
}

Pass calc(const SheetState& state)
{
    Sheet sheet = toSheet(state);
    const std::optional<CalcFault> fault = Calc(sheet);
    Pass pass;
    pass.sheet = toState(sheet);
    if (fault) {
        pass.faultStep = static_cast<int>(fault->step);
        pass.faultRow = fault->row;
        pass.faultWords = describeFault(*fault);
    }
    pass.statusWords = statusWords(sheet);
    pass.totalsWords = totalsWords(sheet);
    pass.verdictWords = verdictWords(sheet);
    pass.misreadWords = misreadWords(sheet);
    pass.readoutWords = readoutWords(sheet, !fault && !sheet.totalsStale);
    pass.scaleWords = scaleWords(sheet);
    if (sheet.grossWeightVerdict) {
        pass.grossWeightWords = colourWords(*sheet.grossWeightVerdict);
        pass.grossWeightColor = static_cast<int>(colorOf(*sheet.grossWeightVerdict));
    }
    if (sheet.flyCgVerdict) {
        pass.flyCgWords = colourWords(*sheet.flyCgVerdict);
        pass.flyCgColor = static_cast<int>(colorOf(*sheet.flyCgVerdict));
    }
    if (const std::optional<PilotWeights> weights = pilotWeights(sheet))
        pass.pilotWeights = {true, weights->low, weights->high};
    return pass;
}

LoadSheetLines loadSheet(const SheetState& state, int faultStep, int faultRow, const LoadSheetHeading& heading)
{
    LoadSheetText text = loadSheetText(toSheet(state), faultAt(faultStep, faultRow), heading);
    return {std::move(text.above), std::move(text.below)};
}

// The bytes of a loadings file: a Uint8Array from JavaScript arrives unchanged.
Loadings parse(const std::string& bytes) { return parseLoadings(bytes); }

std::string nameOfField(int kind, int row) { return fieldName(static_cast<FieldKind>(kind), row); }

NumberValue valueOfText(const std::string& text)
{
    const std::optional<double> value = ValueOfText(text);
    return {!value, value.value_or(0.0)};
}

bool misread(const std::string& text) { return isMisread(text); }

IntegerValue nearestInteger(double value)
{
    const std::optional<std::int32_t> rounded = NearestInteger(value);
    return {rounded.has_value(), rounded.value_or(0)};
}

std::string program() { return "KQ71WB " KQ71WB_VERSION; }

}  // namespace kq71wb::web

EMSCRIPTEN_BINDINGS(kq71wb)
{
    using namespace emscripten;
    using namespace kq71wb;
    using namespace kq71wb::web;

    value_array<Rows>("Rows")
        .element(emscripten::index<0>()).element(emscripten::index<1>()).element(emscripten::index<2>()).element(emscripten::index<3>())
        .element(emscripten::index<4>()).element(emscripten::index<5>()).element(emscripten::index<6>()).element(emscripten::index<7>());
    value_object<SheetState>("SheetState")
        .field("weight", &SheetState::weight)
        .field("arm", &SheetState::arm)
        .field("moment", &SheetState::moment)
        .field("grossWeight", &SheetState::grossWeight)
        .field("grossMoment", &SheetState::grossMoment)
        .field("flyCg", &SheetState::flyCg)
        .field("grossWeightVerdict", &SheetState::grossWeightVerdict)
        .field("flyCgVerdict", &SheetState::flyCgVerdict)
        .field("hasSliderValue", &SheetState::hasSliderValue)
        .field("sliderValue", &SheetState::sliderValue)
        .field("totalsStale", &SheetState::totalsStale);
    value_object<PilotRange>("PilotRange")
        .field("known", &PilotRange::known)
        .field("low", &PilotRange::low)
        .field("high", &PilotRange::high);
    value_object<Pass>("Pass")
        .field("sheet", &Pass::sheet)
        .field("faultStep", &Pass::faultStep)
        .field("faultRow", &Pass::faultRow)
        .field("faultWords", &Pass::faultWords)
        .field("statusWords", &Pass::statusWords)
        .field("totalsWords", &Pass::totalsWords)
        .field("verdictWords", &Pass::verdictWords)
        .field("misreadWords", &Pass::misreadWords)
        .field("readoutWords", &Pass::readoutWords)
        .field("scaleWords", &Pass::scaleWords)
        .field("grossWeightWords", &Pass::grossWeightWords)
        .field("flyCgWords", &Pass::flyCgWords)
        .field("grossWeightColor", &Pass::grossWeightColor)
        .field("flyCgColor", &Pass::flyCgColor)
        .field("pilotWeights", &Pass::pilotWeights);
    value_object<LoadSheetHeading>("LoadSheetHeading")
        .field("printedAt", &LoadSheetHeading::printedAt)
        .field("program", &LoadSheetHeading::program)
        .field("loading", &LoadSheetHeading::loading);
    register_vector<std::string>("StringList");
    value_object<LoadSheetLines>("LoadSheetLines")
        .field("above", &LoadSheetLines::above)
        .field("below", &LoadSheetLines::below);
    value_object<Loading>("Loading")
        .field("name", &Loading::name)
        .field("weight", &Loading::weight)
        .field("arm", &Loading::arm);
    value_array<Loadings>("Loadings")
        .element(emscripten::index<0>()).element(emscripten::index<1>()).element(emscripten::index<2>()).element(emscripten::index<3>());
    value_object<NumberValue>("NumberValue")
        .field("overflow", &NumberValue::overflow)
        .field("value", &NumberValue::value);
    value_object<IntegerValue>("IntegerValue")
        .field("fits", &IntegerValue::fits)
        .field("value", &IntegerValue::value);

    function("calc", &calc);
    function("loadSheet", &loadSheet);
    function("parseLoadings", &parse);
    function("fieldName", &nameOfField);
    function("program", &program);
    function("valueOfText", &valueOfText);
    function("isMisread", &misread);
    function("textOfDouble", &TextOfDouble);
    function("formatCg", &FormatCg);
    function("nearestInteger", &nearestInteger);
    function("roundTo15Digits", &roundTo15Digits);
}
