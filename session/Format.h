// Numbers as the user sees them: with the thousands and decimal separators
// of the user's system.
#pragma once

#include <string>

#include "session/SessionState.h"

namespace vk {

// A real value with the given decimals and thousands separators, first
// rounded to `significant` significant digits ("0.01", "1,234.50").
std::string FormatNumber(double value, int decimals, const NumberFormat& fmt, int significant = 15);

}  // namespace vk
