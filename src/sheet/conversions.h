#pragma once

// The four conversions between the texts that the window shows and the numbers
// behind them. Every figure on the sheet goes through these, and the gross
// moment is summed from captions that TextOfDouble wrote and ValueOfText reads
// back, so the two must agree. All four ignore the process locale: a pilot
// whose desktop uses a decimal comma still types and sees a period.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kq71wb {

// The number a text begins with; nullopt when that number is too large for a
// double (an overflow, which the caller must treat as a fault).
//   ""          -> 0        "abc"    -> 0        "170"     -> 170
//   " 170 lb"   -> 170      "-20"    -> -20      "1 2"     -> 12
//   "12.5.3"    -> 12.5     "2E3"    -> 2000     "1d2"     -> 100
//   "1,5"       -> 1        "+.5"    -> 0.5      "&H10"    -> 16
//   "&o17"      -> 15       "&H"     -> 0        "1E-400"  -> 0
//   "1E400"     -> overflow
//   "&H20000000000000" -> overflow
// blanks, tabs and line feeds are dropped wherever they stand, because users
// type "1 2" and paste "170\n". A comma ends the number: the decimal separator
// is always the period. &H and &O read a non-negative hexadecimal or octal
// integer; one above 2^53 - 1, which a double no longer holds exactly, is an
// overflow rather than a silently rounded value.
std::optional<double> ValueOfText(std::string_view text);

// Whether a text begins with a number at all, blanks aside: a text that does
// not is read as 0 all the same, which for an arm puts the weight at the datum.
//   "-20" -> true     "-20,5" -> true    "1E400" -> true (an overflow)
//   ""    -> false    "abc"   -> false   "\u221220" -> false (a minus sign is not a hyphen-minus)
bool beginsWithNumber(std::string_view text);

// What a weight or arm field holds besides the number it is read as, when
// that may mislead: the field's own unit after the number is fine, anything
// else is named beneath the sheet.
enum class FieldUnit { Pounds, Inches };
enum class Misreading {
    None,         // read as it looks
    Text,         // digits or text that the number leaves out, or no number at all
    Kilograms,    // a weight in kilograms, read as pounds
    Millimetres,  // an arm in millimetres, centimetres or metres, read as inches
    Centimetres,
    Metres,
};

// Whether a field's text is read as the number it looks like.
//   "170", "170 lb", "170LBS", " 170 # "  -> None (pounds)
//   "14", "14 in", "14inches", "14\""     -> None (inches)
//   ""      -> None          "1E400"  -> None (an overflow, which is a fault)
//   "14,5"  -> Text (14)     "8 5"    -> Text (85: blanks between digits)
//   "l70"   -> Text (0)      "170Parachute" -> Text    "2E" -> Text (2)
//   "&HAA"  -> Text (170)    "&O17"   -> Text (15)     "1D1" -> Text (10)
//   "80 kg" -> Kilograms     "80 in"  -> Text (a unit of the other kind)
//   "350mm" -> Millimetres   "35 cm"  -> Centimetres   ".35 M" -> Metres
// Units are taken in any case, with or without a blank; blanks before and
// after the number are harmless, blanks between its digits are not.
Misreading misreadingOf(std::string_view text, FieldUnit unit);

// A double in its shortest general form, to 15 significant digits.
//   0 -> "0"        -0.0 -> "0"        -3400 -> "-3400"     1020.5 -> "1020.5"
//   1.0 / 3 -> "0.333333333333333"     1.5E20 -> "1.5E+20"  0.00001 -> "1E-05"
//   0.0001 -> "0.0001"                 999999999999999.9 -> "1E+15"
// Magnitudes of 1E+15 and above, or below 1E-4, take the exponent form. A
// negative zero (an empty weight times a negative arm) is written "0".
// Non-finite values are never passed by the sheet; they are written "0".
std::string TextOfDouble(double value);
// TextOfDouble's text written over `text`, in the storage it already has: a
// pass of Calc allocates nothing once its captions have been written.
void writeTextOfDouble(double value, std::string& text);

// The centre of gravity through the pattern "  ##.00".
//   13.456 -> "  13.46"    13.999 -> "  14.00"    0 -> "  .00"
//   0.5    -> "  .50"      123.4  -> "  123.40"   -20 -> "-  20.00"
//   2.345  -> "  2.35"     -0.001 -> "-  .00"  -0.0 -> "  .00"
// The value is rounded from its 15-significant-digit decimal form, halves away
// from zero, so 2.345 (stored a little below) still shows 2.35 as it reads.
// Every value below zero shows its minus sign, even one that rounds to .00.
// Non-finite values are never passed by the sheet; they are written "  .00".
std::string FormatCg(double value);
// FormatCg of the number whose TextOfDouble text this is, for a caller that
// has written that already: "13.456" -> "  13.46"    "-0.001" -> "-  .00"
std::string FormatCgOfText(std::string_view written);

// Rounds to the nearest 32-bit integer, halves to the even neighbour, as the
// processor's default rounding does; nullopt when the result does not fit.
//   117.0 -> 117    160.49 -> 160    160.5 -> 160    161.5 -> 162
//   2147483647.5 -> overflow (rounds to 2147483648)
//   -2147483648.5 -> -2147483648
std::optional<std::int32_t> NearestInteger(double value);

// A double rounded to the 15 significant digits that TextOfDouble writes: the
// value that ValueOfText reads back from its text, so that figures can be
// judged as they are shown.
//   408.1 + 410.3 + 81.6 (900.0000000000001) -> 900
//   11.699999999999999 -> 11.7      11.699 -> 11.699
//   1.7976931348623157E308 -> infinity (its 15 digits lie beyond a double)
double roundTo15Digits(double value);

// A limit less a figure as shown, worked exactly in decimal digits and read
// as the nearest double, so that the room left agrees with the figure:
//   900, "899.7"  -> 0.3 (not 0.30000000000006821)    900, "900" -> 0
//   900, "900.01" -> -0.01    900, "1.5E+20" -> -1.5E+20    900, "1E-05" -> 899.99999
//   900, "7E+22"  -> -69999999999999999999100 (a unit in the last place
//                    above the double nearest -7E+22, which the binary difference gives)
// The limit counts as TextOfDouble writes it; a figure in another form, as
// TextOfDouble would write the number ValueOfText reads in it.
double decimalDifference(double limit, std::string_view shown);

// Pounds in kilograms (1 lb = 0.45359237 kg, exactly), to `decimals`
// decimals, rounded down or up as the caller's figure needs: a range is
// rounded inwards, so that it never allows more than the pounds do. Worked in
// whole numbers from the decimal text as TextOfDouble writes it (no binary
// rounding can tip a figure over a step); nullopt for a negative or unread
// text, or one too large to say in kilograms.
//   "130", 0, Up -> "59"  (58.967 kg)     "229", 0, Down -> "103"  (103.873 kg)
//   "290", 1, Down -> "131.5"             "0.3", 1, Up -> "0.2"
//   "1E-05", 1, Down -> "0"               "1.5E+20", 0, Down -> "68038855500000000000"
enum class Rounding { Down, Up };
std::optional<std::string> kilogramsOf(std::string_view pounds, int decimals, Rounding rounding);

// Whole kilograms in pounds, as the text a pilot loading them would type: a
// kilogram figure offered as a weight to load is judged as this text in its
// row, so that loading it gives the colours promised.
//   11 -> "24.2508488270207"     5 -> "11.0231131092439"     0 -> "0"
std::string poundsOfKilograms(int kilograms);

}  // namespace kq71wb
