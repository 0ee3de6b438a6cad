#include "conversions.h"

#include <fast_float/fast_float.h>
#include <fmt/compile.h>
#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace kq71wb {
namespace {

bool isDropped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Walks a text as if its blanks, tabs and line feeds were not there.
class Cursor {
public:
    explicit Cursor(std::string_view text) : m_text(text) {}
    char peek()
    {
        while (m_pos < m_text.size() && isDropped(m_text[m_pos]))
            ++m_pos;
        return m_pos < m_text.size() ? m_text[m_pos] : '\0';
    }
    void advance() { m_taken = ++m_pos; }
    // Where the character peek() gives stands in the text.
    std::size_t at() const { return m_pos; }
    // Just past the last character taken, before any blanks that follow it.
    std::size_t taken() const { return m_taken; }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    std::size_t m_taken = 0;
};

// The characters of a number with the blanks taken out, on the stack for
// anything a person types; only a pasted monster of a number spills.
class NumberChars {
public:
    void push(char c)
    {
        if (m_spill.empty() && m_size < m_local.size()) {
            m_local[m_size++] = c;
            return;
        }
        if (m_spill.empty())
            m_spill.assign(m_local.data(), m_size);
        m_spill.push_back(c);
    }
    std::string_view view() const
    {
        return m_spill.empty() ? std::string_view(m_local.data(), m_size) : std::string_view(m_spill);
    }

private:
    std::array<char, 48> m_local{};
    std::size_t m_size = 0;
    std::string m_spill;
};

constexpr std::uint64_t kLargestExactInteger = (std::uint64_t{1} << 53) - 1;

std::optional<double> radixInteger(Cursor& cursor, unsigned radix, bool& found)
{
    std::uint64_t value = 0;
    for (;; found = true) {
        const char c = upper(cursor.peek());
        unsigned digit;
        if (isDigit(c))
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            break;
        if (digit >= radix)
            break;
        value = value * radix + digit;
        if (value > kLargestExactInteger)
            return std::nullopt;
        cursor.advance();
    }
    return static_cast<double>(value);
}

// The 15 significant digits of a finite, non-zero double, with its decimal
// exponent: value = d.dddddddddddddd x 10^exponent.
struct Decimal15 {
    bool negative = false;
    std::array<char, 15> digits{};
    int exponent = 0;
};

constexpr std::uint64_t kPowersOfTen[] = {1, 10, 100};

// A finite, non-zero double to 15 significant digits, rounded exactly (ties to
// even), the same natively and in WebAssembly, whose C++ library has no
// floating-point std::to_chars. Returns whether the digits are the double
// itself.
//
// Mostly from the double's shortest form, which {fmt}'s Dragonbox (an
// internal of {fmt}, in fmt::detail) finds quickly: the decimal of fewest
// digits that reads back as the double, and of those the nearest to it. A
// normal double lies within half a unit in its last place of that form, which
// is less than half a step of the 15-digit grid; so a shortest form of 15
// digits or fewer is the answer itself. A longer one lies within half a unit
// of its own last digit (of 16 or 17), so it rounds to the answer unless its
// digits past the 15th are within a few units of half-way, where only the
// exact rounding can tell. Denormals hold too few bits for this and take the
// exact rounding too.
bool toDecimal15(double value, Decimal15& decimal)
{
    decimal.negative = std::signbit(value);
    std::array<char, 32> buffer{};
    if (std::isnormal(value)) {
        const auto shortest = fmt::detail::dragonbox::to_decimal(std::fabs(value));
        const auto count = static_cast<int>(std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                                          shortest.significand).ptr - buffer.data());
        decimal.exponent = shortest.exponent + count - 1;
        if (count <= 15) {
            const auto end = std::copy_n(buffer.data(), count, decimal.digits.begin());
            std::fill(end, decimal.digits.end(), '0');
            return true;
        }
        const std::uint64_t cut = kPowersOfTen[count - 15];
        const std::uint64_t past = shortest.significand % cut * kPowersOfTen[17 - count];  // in 17th-digit units
        if (past + 5 < 50 || past > 50 + 5) {
            std::uint64_t kept = shortest.significand / cut + (past > 50 ? 1 : 0);
            if (kept == 1'000'000'000'000'000) {
                kept /= 10;
                ++decimal.exponent;
            }
            std::to_chars(decimal.digits.data(), decimal.digits.data() + decimal.digits.size(), kept);
            return false;
        }
    }
    // "-d.dddddddddddddde+X"
    const char* p = buffer.data() + (decimal.negative ? 1 : 0);
    const char* end = fmt::format_to(buffer.data(), FMT_COMPILE("{:.14e}"), value);
    decimal.digits[0] = *p++;
    std::copy_n(p + 1, decimal.digits.size() - 1, decimal.digits.begin() + 1);
    p += decimal.digits.size();  // past the period and the 14 digits after it, at the 'e'
    std::from_chars(p[1] == '+' ? p + 2 : p + 1, end, decimal.exponent);
    return false;
}

Decimal15 toDecimal15(double value)
{
    Decimal15 decimal;
    toDecimal15(value, decimal);
    return decimal;
}

// The double nearest to a decimal number, exactly, without the locale; an
// infinity when the number lies beyond the range and a zero (of its sign)
// when it lies below it.
double parseDecimal(std::string_view chars)
{
    double value = 0.0;
    fast_float::from_chars(chars.data(), chars.data() + chars.size(), value);
    return value;
}

// The number a text begins with, where its digits start and its last
// character ends in the text, and whether there was one at all.
struct NumberRead {
    std::optional<double> value;
    std::size_t firstDigit = 0;
    std::size_t end = 0;
    bool found = false;
    // Written in a form few pilots would mean: &H or &O, or a D exponent.
    bool unusualForm = false;
};

NumberRead readNumber(std::string_view text)
{
    Cursor cursor(text);
    NumberRead read;
    if (cursor.peek() == '&') {
        cursor.advance();
        const char prefix = upper(cursor.peek());
        if (prefix != 'H' && prefix != 'O')
            return {0.0};
        cursor.advance();
        cursor.peek();
        read.firstDigit = cursor.at();
        read.unusualForm = true;
        read.value = radixInteger(cursor, prefix == 'H' ? 16 : 8, read.found);
        read.end = cursor.taken();
        return read;
    }

    NumberChars number;
    const char sign = cursor.peek();
    if (sign == '+' || sign == '-') {
        if (sign == '-')
            number.push('-');
        cursor.advance();
    }
    cursor.peek();
    read.firstDigit = cursor.at();
    int digitCount = 0;
    for (char c = cursor.peek(); isDigit(c); c = cursor.peek()) {
        number.push(c);
        cursor.advance();
        ++digitCount;
    }
    if (cursor.peek() == '.') {
        number.push('.');
        cursor.advance();
        for (char c = cursor.peek(); isDigit(c); c = cursor.peek()) {
            number.push(c);
            cursor.advance();
            ++digitCount;
        }
    }
    if (digitCount == 0)
        return {0.0};
    read.found = true;

    const char marker = upper(cursor.peek());
    if (marker == 'E' || marker == 'D') {
        // An exponent letter without digits ("2E", "2E-") ends the number
        // before the letter.
        Cursor afterMarker = cursor;
        afterMarker.advance();
        char exponentSign = afterMarker.peek();
        if (exponentSign == '+' || exponentSign == '-')
            afterMarker.advance();
        else
            exponentSign = '+';
        if (isDigit(afterMarker.peek())) {
            number.push('e');
            number.push(exponentSign);
            for (char c = afterMarker.peek(); isDigit(c); c = afterMarker.peek()) {
                number.push(c);
                afterMarker.advance();
            }
            cursor = afterMarker;
            read.unusualForm = marker == 'D';
        }
    }
    read.end = cursor.taken();

    // A number too small for a double reads as a zero of its sign; one too
    // large is an overflow.
    const double value = parseDecimal(number.view());
    if (!std::isinf(value))
        read.value = value;
    return read;
}

}  // namespace

std::optional<double> ValueOfText(std::string_view text) { return readNumber(text).value; }

bool beginsWithNumber(std::string_view text) { return readNumber(text).found; }

Misreading misreadingOf(std::string_view text, FieldUnit unit)
{
    const NumberRead read = readNumber(text);
    if (!read.found)
        return std::all_of(text.begin(), text.end(), isDropped) ? Misreading::None : Misreading::Text;
    const auto number = text.substr(read.firstDigit, read.end - read.firstDigit);
    if (read.unusualForm || std::any_of(number.begin(), number.end(), isDropped))
        return Misreading::Text;

    std::string rest;
    for (const char c : text.substr(read.end))
        if (!isDropped(c))
            rest += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (rest.empty())
        return Misreading::None;
    struct Unit {
        std::string_view name;
        FieldUnit field;
        Misreading reading;
    };
    static constexpr Unit kUnits[] = {
        {"lb", FieldUnit::Pounds, Misreading::None},        {"lbs", FieldUnit::Pounds, Misreading::None},
        {"pound", FieldUnit::Pounds, Misreading::None},     {"pounds", FieldUnit::Pounds, Misreading::None},
        {"#", FieldUnit::Pounds, Misreading::None},         {"kg", FieldUnit::Pounds, Misreading::Kilograms},
        {"kgs", FieldUnit::Pounds, Misreading::Kilograms},  {"kilo", FieldUnit::Pounds, Misreading::Kilograms},
        {"kilos", FieldUnit::Pounds, Misreading::Kilograms}, {"kilogram", FieldUnit::Pounds, Misreading::Kilograms},
        {"kilograms", FieldUnit::Pounds, Misreading::Kilograms},
        {"in", FieldUnit::Inches, Misreading::None},        {"inch", FieldUnit::Inches, Misreading::None},
        {"inches", FieldUnit::Inches, Misreading::None},    {"\"", FieldUnit::Inches, Misreading::None},
        {"mm", FieldUnit::Inches, Misreading::Millimetres}, {"cm", FieldUnit::Inches, Misreading::Centimetres},
        {"m", FieldUnit::Inches, Misreading::Metres},
    };
    for (const Unit& known : kUnits)
        if (known.field == unit && known.name == rest)
            return known.reading;
    return Misreading::Text;
}

std::string TextOfDouble(double value)
{
    if (!std::isfinite(value) || value == 0.0)
        return "0";
    const Decimal15 decimal = toDecimal15(value);
    std::size_t significant = decimal.digits.size();
    while (significant > 1 && decimal.digits[significant - 1] == '0')
        --significant;
    const std::string_view digits(decimal.digits.data(), significant);
    const int exponent = decimal.exponent;

    std::string text;
    if (decimal.negative)
        text += '-';
    if (exponent >= 15 || exponent < -4) {
        text += digits.front();
        if (digits.size() > 1) {
            text += '.';
            text += digits.substr(1);
        }
        text += exponent < 0 ? "E-" : "E+";
        const int shown = exponent < 0 ? -exponent : exponent;
        if (shown < 10)
            text += '0';
        text += std::to_string(shown);
    } else if (exponent >= 0) {
        const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
        text += digits.substr(0, integerDigits);
        if (digits.size() < integerDigits)
            text.append(integerDigits - digits.size(), '0');
        if (digits.size() > integerDigits) {
            text += '.';
            text += digits.substr(integerDigits);
        }
    } else {
        text += "0.";
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
    }
    return text;
}

std::string FormatCg(double value)
{
    // Digits of |value| x 100, rounded half away from zero on the 15-digit form.
    std::string hundredths;
    bool negative = false;
    if (std::isfinite(value) && value != 0.0) {
        const Decimal15 decimal = toDecimal15(value);
        negative = decimal.negative;
        const int kept = decimal.exponent + 3;  // digits down to the hundredths
        const auto width = static_cast<int>(decimal.digits.size());
        if (kept <= 0) {
            hundredths = (kept == 0 && decimal.digits[0] >= '5') ? "1" : "0";
        } else if (kept >= width) {
            hundredths.assign(decimal.digits.data(), decimal.digits.size());
            hundredths.append(static_cast<std::size_t>(kept - width), '0');
        } else {
            hundredths.assign(decimal.digits.data(), static_cast<std::size_t>(kept));
            if (decimal.digits[static_cast<std::size_t>(kept)] >= '5') {
                auto digit = hundredths.rbegin();
                for (; digit != hundredths.rend() && *digit == '9'; ++digit)
                    *digit = '0';
                if (digit == hundredths.rend())
                    hundredths.insert(hundredths.begin(), '1');
                else
                    ++*digit;
            }
        }
    }
    // The leading digit is never a zero, so the whole part needs no trimming.
    if (hundredths.size() < 2)
        hundredths.insert(0, 2 - hundredths.size(), '0');
    const std::size_t integerEnd = hundredths.size() - 2;

    // Any value below zero keeps its sign, even one that rounds to .00, so
    // that a CG a hair forward of the datum does not read as on it.
    std::string text = negative ? "-  " : "  ";
    text.append(hundredths, 0, integerEnd);
    text += '.';
    text.append(hundredths, integerEnd, 2);
    return text;
}

double roundTo15Digits(double value)
{
    Decimal15 decimal;
    if (!std::isfinite(value) || value == 0.0 || toDecimal15(value, decimal))
        return value;
    // d.dddddddddddddd x 10^exponent, written as the integer ddddddddddddddd x 10^(exponent - 14).
    std::array<char, 32> chars{};
    char* end = chars.data();
    if (decimal.negative)
        *end++ = '-';
    end = std::copy(decimal.digits.begin(), decimal.digits.end(), end);
    *end++ = 'e';
    end = std::to_chars(end, chars.data() + chars.size(), decimal.exponent - 14).ptr;
    return parseDecimal({chars.data(), static_cast<std::size_t>(end - chars.data())});
}

double decimalDifference(double limit, std::string_view shown)
{
    const double difference = limit - ValueOfText(shown).value_or(0.0);
    const std::size_t period = shown.find('.');
    const std::size_t exponentAt = shown.find('E');
    int decimals = period == std::string_view::npos
                       ? 0
                       : static_cast<int>(std::min(exponentAt, shown.size()) - period - 1);
    if (exponentAt != std::string_view::npos)
        decimals -= static_cast<int>(ValueOfText(shown.substr(exponentAt + 1)).value_or(0.0));
    // Near the limit a double holds about twelve decimals; past that the
    // binary difference is as good as any.
    static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12};
    if (decimals >= static_cast<int>(std::size(kPowersOfTen)))
        return difference;
    const double scale = kPowersOfTen[std::max(decimals, 0)];
    return std::round(difference * scale) / scale;
}

std::optional<std::int32_t> NearestInteger(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double below = std::floor(value);
    const double fraction = value - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0))
        rounded = below + 1.0;
    if (rounded < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

std::optional<std::string> kilogramsOf(std::string_view pounds, int decimals, Rounding rounding)
{
    // The text as digits D and a power of ten: pounds = D x 10^power.
    __extension__ typedef unsigned __int128 Wide;  // 30 digits times 45359237, with room
    Wide digits = 0;
    int power = 0;
    int count = 0;
    bool afterPoint = false;
    std::size_t at = 0;
    for (; at < pounds.size() && pounds[at] != 'E'; ++at) {
        const char c = pounds[at];
        if (c == '.' && !afterPoint) {
            afterPoint = true;
        } else if (c >= '0' && c <= '9') {
            if (++count > 30)
                return std::nullopt;
            digits = digits * 10 + static_cast<unsigned>(c - '0');
            power -= afterPoint ? 1 : 0;
        } else {
            return std::nullopt;
        }
    }
    if (count == 0)
        return std::nullopt;
    if (at < pounds.size()) {
        const std::string_view exponent = pounds.substr(at + 1);
        int value = 0;
        const auto [end, error] = std::from_chars(exponent.data() + (exponent.starts_with('+') ? 1 : 0),
                                                  exponent.data() + exponent.size(), value);
        if (error != std::errc() || end != exponent.data() + exponent.size() || value > 400 || value < -400)
            return std::nullopt;
        power += value;
    }
    // kilograms x 10^decimals = D x 45359237 x 10^(power + decimals - 8)
    Wide steps = digits * 45359237u;
    constexpr Wide kMost = ~Wide{0} / 10;
    for (int shift = power + decimals - 8; shift > 0; --shift) {
        if (steps > kMost)
            return std::nullopt;
        steps *= 10;
    }
    // Ceiling (or floor) a step at a time is the ceiling (or floor) of the whole.
    for (int shift = power + decimals - 8; shift < 0 && steps != 0; ++shift) {
        const bool remainder = steps % 10 != 0;
        steps = steps / 10 + (remainder && rounding == Rounding::Up ? 1 : 0);
    }
    std::string text;
    do {
        text.insert(text.begin(), static_cast<char>('0' + static_cast<int>(steps % 10)));
        steps /= 10;
    } while (steps != 0);
    if (decimals > 0) {
        if (text.size() <= static_cast<std::size_t>(decimals))
            text.insert(0, static_cast<std::size_t>(decimals) + 1 - text.size(), '0');
        // A character, not a literal: GCC 12 at -O3 warns of a bogus overlap (-Wrestrict) in the literal's insert.
        text.insert(text.size() - static_cast<std::size_t>(decimals), 1, '.');
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
    }
    return text;
}

std::string poundsOfKilograms(int kilograms) { return TextOfDouble(kilograms / 0.45359237); }

}  // namespace kq71wb
