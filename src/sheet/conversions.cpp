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

// A decimal number as {fmt} or TextOfDouble writes it ("-8801.625",
// "0.0001", "1e+16", "1.5E-05"): its significant digits, neither the first
// nor the last a zero, and the power of ten of the first. "-8801.625" is
// -8.801625 x 10^3; a zero has no digits.
struct DecimalDigits {
    bool negative = false;
    std::array<char, 30> digits{};
    int count = 0;
    int exponent = 0;

    std::string_view view() const { return {digits.data(), static_cast<std::size_t>(count)}; }
};

// Nullopt for a text in any other form, or of more digits than the array holds.
std::optional<DecimalDigits> decimalDigitsOf(std::string_view text)
{
    DecimalDigits decimal;
    decimal.negative = text.starts_with('-');
    const char* const start = text.data() + (decimal.negative ? 1 : 0);
    const char* const end = text.data() + text.size();
    const char* at = start;
    const char* point = nullptr;
    int count = 0;
    int leadingZeros = 0;
    for (; at != end && (*at | 0x20) != 'e'; ++at) {
        if (*at == '.' && !point) {
            point = at;
            continue;
        }
        if (!isDigit(*at))
            return std::nullopt;
        if (count == 0 && *at == '0') {
            ++leadingZeros;
        } else {
            if (count == static_cast<int>(decimal.digits.size()))
                return std::nullopt;
            decimal.digits[static_cast<std::size_t>(count++)] = *at;
        }
    }
    if (count + leadingZeros == 0)
        return std::nullopt;
    int exponent = 0;
    if (at != end) {
        const char* first = at + 1 + (at + 1 != end && at[1] == '+' ? 1 : 0);
        const auto [past, error] = std::from_chars(first, end, exponent);
        if (error != std::errc() || past != end || exponent > 400 || exponent < -400)
            return std::nullopt;
    }
    // The digits before the period (or all of them), less the zeros before
    // the first significant one, place it.
    const auto whole = static_cast<int>((point ? point : at) - start);
    while (count > 0 && decimal.digits[static_cast<std::size_t>(count - 1)] == '0')
        --count;
    decimal.count = count;
    if (count > 0)
        decimal.exponent = whole - leadingZeros - 1 + exponent;
    return decimal;
}

// TextOfDouble's text, on the stack.
//
// A double's 15 significant digits, rounded exactly (ties to even) and the
// same natively and in WebAssembly, whose C++ library has no floating-point
// std::to_chars, are {fmt}'s "{:.15G}": C's "%.15G" without the locale. That
// is slow (a bignum for the short decimals pilots type, 8801.625), so the
// double's shortest form comes first ("{}"): the decimal of fewest digits
// that reads back as the double, and of those the nearest to it, which {fmt}
// lays out as "%G" does but for the case of its 'e' and for 1E+15 to 1E+16,
// which it writes out whole. A normal double lies within half a unit in its
// last place of that form, which is less than half a step of the 15-digit
// grid; so a shortest form of 15 digits or fewer is the answer itself. A
// longer one (16 or 17 digits) lies within half a unit of its own last digit,
// so it rounds to the answer where it stands unless its digits past the 15th
// are within a few units of half-way, where only "{:.15G}" can tell.
// Denormals hold too few bits for this.
class ShortText {
public:
    explicit ShortText(double value);
    std::string_view view() const { return {m_chars.data(), m_size}; }
    // The double's own shortest form, which reads back as the double itself.
    bool shortest() const { return m_shortest; }

private:
    bool roundedWhereItStands(std::size_t first, std::size_t point, std::size_t exponentAt);

    std::array<char, 32> m_chars;  // at most 24: "-1.7976931348623157e+308"
    std::size_t m_size = 0;
    bool m_shortest = false;
};

ShortText::ShortText(double value)
{
    if (!std::isfinite(value) || value == 0.0) {
        m_chars[0] = '0';
        m_size = 1;
        m_shortest = true;
        return;
    }
    m_size = static_cast<std::size_t>(fmt::format_to(m_chars.data(), FMT_COMPILE("{}"), value) - m_chars.data());
    const std::string_view text = view();
    const std::size_t exponentAt = std::min(text.find('e'), text.size());
    const std::size_t first = text.find_first_not_of("-0.");  // the first significant digit
    const std::size_t point = text.find('.');
    const std::size_t digits = exponentAt - first - (point != text.npos && point > first ? 1 : 0);
    if (exponentAt < m_size)
        m_chars[exponentAt] = 'E';
    if (std::isnormal(value)) {
        m_shortest = digits <= 15;
        if (m_shortest || roundedWhereItStands(first, point, exponentAt))
            return;
    }
    m_size = static_cast<std::size_t>(fmt::format_to(m_chars.data(), FMT_COMPILE("{:.15G}"), value) - m_chars.data());
}

// A shortest form of 16 or 17 digits cut to 15 and rounded in its place, but
// for the cases "{:.15G}" must settle: digits past the 15th near half-way, a
// carry that would add a digit, and 16 whole digits, which "%G" writes with
// an exponent.
bool ShortText::roundedWhereItStands(std::size_t first, std::size_t point, std::size_t exponentAt)
{
    const bool fixed = exponentAt == m_size;
    const bool negative = m_chars[0] == '-';
    if (fixed && (point == std::string_view::npos ? m_size : point) - (negative ? 1 : 0) > 15)
        return false;
    // Where the kth significant digit stands: one further once past the period.
    const auto at = [first, point](std::size_t k) {
        return first + k + (point != std::string_view::npos && point > first && point <= first + k ? 1 : 0);
    };
    const std::size_t last = at(14);
    const auto digit = [this, exponentAt](std::size_t position) {
        return position < exponentAt ? m_chars[position] - '0' : 0;
    };
    const int past = digit(at(15)) * 10 + digit(at(16));  // in units of the 17th digit
    if (past + 5 >= 50 && past <= 50 + 5)
        return false;
    if (past > 50) {
        std::size_t position = last;
        for (; m_chars[position] == '9' || m_chars[position] == '.'; --position) {
            if (position == first)
                return false;
            if (m_chars[position] == '9')
                m_chars[position] = '0';
        }
        ++m_chars[position];
    }
    // The digits kept, without zeros that end a fraction, and the exponent after them.
    std::size_t end = last + 1;
    if (point != std::string_view::npos && point < end) {
        while (m_chars[end - 1] == '0')
            --end;
        if (m_chars[end - 1] == '.')
            --end;
    }
    std::copy(m_chars.begin() + static_cast<std::ptrdiff_t>(exponentAt),
              m_chars.begin() + static_cast<std::ptrdiff_t>(m_size), m_chars.begin() + static_cast<std::ptrdiff_t>(end));
    m_size = end + (m_size - exponentAt);
    return true;
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

std::string TextOfDouble(double value) { return std::string(ShortText(value).view()); }

void writeTextOfDouble(double value, std::string& text) { text.assign(ShortText(value).view()); }

std::string FormatCg(double value) { return FormatCgOfText(ShortText(value).view()); }

std::string FormatCgOfText(std::string_view written)
{
    // Digits of |value| x 100, rounded half away from zero on the 15-digit form.
    std::string hundredths;
    bool negative = false;
    if (const std::optional<DecimalDigits> read = decimalDigitsOf(written); read && read->count > 0) {
        const DecimalDigits& decimal = *read;
        negative = decimal.negative;
        const int kept = decimal.exponent + 3;  // digits down to the hundredths
        const std::string_view digits = decimal.view();
        if (kept <= 0) {
            hundredths = (kept == 0 && digits[0] >= '5') ? "1" : "0";
        } else if (kept >= decimal.count) {
            hundredths = digits;
            hundredths.append(static_cast<std::size_t>(kept - decimal.count), '0');
        } else {
            hundredths = digits.substr(0, static_cast<std::size_t>(kept));
            if (digits[static_cast<std::size_t>(kept)] >= '5') {
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
    const ShortText text(value);
    return text.shortest() ? value : parseDecimal(text.view());
}

double decimalDifference(double limit, std::string_view shown)
{
    const std::optional<DecimalDigits> figure = decimalDigitsOf(shown);
    const DecimalDigits a = *decimalDigitsOf(ShortText(limit).view());
    const DecimalDigits b = figure ? *figure : *decimalDigitsOf(ShortText(ValueOfText(shown).value_or(0.0)).view());
    // Both on one grid of digits, from above the higher first digit (room for
    // a carry) down to the lower last one; a zero is the digit 0 at 10^0.
    const auto digits = [](const DecimalDigits& d) { return d.count ? d.view() : std::string_view("0"); };
    const auto last = [&digits](const DecimalDigits& d) { return d.exponent + 1 - static_cast<int>(digits(d).size()); };
    const int high = std::max(a.exponent, b.exponent) + 1;
    const int low = std::min(last(a), last(b));
    const auto onGrid = [&digits, high, low](const DecimalDigits& d) {
        std::string grid(static_cast<std::size_t>(high - low + 1), '0');
        grid.replace(static_cast<std::size_t>(high - d.exponent), digits(d).size(), digits(d));
        return grid;
    };
    std::string x = onGrid(a), y = onGrid(b);
    // a - b: the magnitudes added when the signs differ, or else the smaller taken from the larger.
    bool negative = a.negative;
    if (a.negative == b.negative && x < y) {
        std::swap(x, y);
        negative = !negative;
    }
    const int sign = a.negative == b.negative ? -1 : 1;
    int carry = 0;
    for (std::size_t i = x.size(); i-- > 0;) {
        int digit = x[i] - '0' + sign * (y[i] - '0') + carry;
        carry = digit < 0 ? -1 : digit > 9 ? 1 : 0;
        x[i] = static_cast<char>('0' + digit - 10 * carry);
    }
    // The exact difference read as the nearest double, as ValueOfText reads its text.
    return parseDecimal((negative ? "-" : "") + x + 'e' + std::to_string(low));
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
    const std::optional<DecimalDigits> decimal = decimalDigitsOf(pounds);
    if (!decimal || decimal->negative)
        return std::nullopt;
    __extension__ typedef unsigned __int128 Wide;  // 30 digits times 45359237, with room
    Wide digits = 0;
    for (const char c : decimal->view())
        digits = digits * 10 + static_cast<unsigned>(c - '0');
    const int power = decimal->exponent - decimal->count + 1;
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
