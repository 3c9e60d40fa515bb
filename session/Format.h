// Numbers as the user sees them: with the thousands and decimal separators
// of the user's system.
#pragma once

#include <string>

#include "session/SessionState.h"

namespace vk {

// A real value with the given decimals and thousands separators, first
// rounded to `significant` significant digits ("0.01", "1,234.50").
std::string FormatNumber(double value, int decimals, const NumberFormat& fmt, int significant = 15);

// A real number typed by the user in the system's format: an optional sign,
// the whole part (plain digits, or 1 to 3 digits followed by groups of three
// after each thousands separator), the decimal separator with the fraction,
// an optional exponent; blanks around it are ignored. Anything else, also
// "." where the system writes ",", throws ConversionError and is never
// read as some other number.
double ParseUserReal(const std::string& text, const NumberFormat& fmt);

// A real number as the window and the memo show it: up to 15 significant
// digits, no trailing zeros, an exponent only when needed ("0.001", "1E-5").
std::string GeneralFloat(double v);

}  // namespace vk
