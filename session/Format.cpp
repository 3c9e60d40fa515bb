#include "session/Format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

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

}  // namespace vk
