#include "session/Format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "session/Errors.h"
#include "session/TextFiles.h"

namespace vk {

std::string FormatNumber(double value, int decimals, const NumberFormat& fmt, int significant) {
    char buffer[512];
    // Round to the wanted number of significant digits, then to the decimals.
    std::snprintf(buffer, sizeof buffer, "%.*e", std::max(0, significant - 1), value);
    const double rounded = std::strtod(buffer, nullptr);
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, rounded);
    std::string plain(buffer);
    std::string sign;
    if (!plain.empty() && plain[0] == '-') {
        sign = "-";
        plain.erase(0, 1);
    }
    const auto dot = plain.find('.');
    std::string whole = plain.substr(0, dot);
    const std::string fraction = dot == std::string::npos ? std::string() : plain.substr(dot + 1);
    std::string grouped;
    for (size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0 && fmt.thousandsSeparator != '\0') grouped += fmt.thousandsSeparator;
        grouped += whole[i];
    }
    std::string out = sign + grouped;
    if (!fraction.empty()) out += fmt.decimalSeparator + fraction;
    return out;
}

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The digits of a whole part written with thousands separators: one to three
// digits, then groups of exactly three, each after one separator.
bool wellGrouped(std::string_view whole, char separator) {
    size_t digits = 0;  // in the current group
    bool grouped = false;
    for (char c : whole) {
        if (c == separator) {
            if (digits == 0 || digits > 3 || (grouped && digits != 3)) return false;
            grouped = true;
            digits = 0;
        } else {
            ++digits;
        }
    }
    return !grouped || digits == 3;
}

}  // namespace

double ParseUserReal(const std::string& text, const NumberFormat& fmt) {
    const auto fail = [&]() { return ConversionError("'" + text + "' is not a valid floating point value"); };
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) throw fail();
    const std::string_view t = std::string_view(text).substr(first, text.find_last_not_of(" \t") - first + 1);
    const char group = fmt.thousandsSeparator != fmt.decimalSeparator ? fmt.thousandsSeparator : '\0';
    // sign, whole part (digits and separators), decimal separator, fraction, exponent
    size_t i = 0;
    std::string plain;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) plain += t[i++];
    const size_t wholeStart = i;
    while (i < t.size() && (isDigit(t[i]) || (group != '\0' && t[i] == group))) ++i;
    const std::string_view whole = t.substr(wholeStart, i - wholeStart);
    if (!wellGrouped(whole, group)) throw fail();
    size_t digits = 0;
    for (char c : whole)
        if (isDigit(c)) {
            plain += c;
            ++digits;
        }
    if (i < t.size() && t[i] == fmt.decimalSeparator) {
        plain += '.';
        ++i;
        while (i < t.size() && isDigit(t[i])) {
            plain += t[i++];
            ++digits;
        }
    }
    if (digits == 0) throw fail();
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        plain += t[i++];
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) plain += t[i++];
        const size_t expStart = i;
        while (i < t.size() && isDigit(t[i])) plain += t[i++];
        if (i == expStart) throw fail();
    }
    if (i != t.size()) throw fail();
    try {
        return parseReal(plain);
    } catch (const ConversionError&) {
        throw fail();
    }
}

std::string GeneralFloat(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15G", v);
    std::string t = buf;
    const auto e = t.find('E');
    if (e == std::string::npos) return t;
    // "1E-05" -> "1E-5", "1E+20" -> "1E20".
    size_t digit = e + 2;
    while (digit + 1 < t.size() && t[digit] == '0') t.erase(digit, 1);
    if (t[e + 1] == '+') t.erase(e + 1, 1);
    return t;
}

}  // namespace vk
