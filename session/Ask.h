// The command boundary: running a command so that its failures reach the
// user, and asking the user for a whole number.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "session/Context.h"

namespace vk {

// Runs a command and shows an IoError or ConversionError it throws.
// Returns false when the command was stopped by such an error.
bool runCommand(Ctx& ctx, const std::function<void()>& command);

// A whole number as typed in an edit or input box, blanks around it
// ignored; anything else throws ConversionError.
int32_t ParseTypedInteger(const std::string& text);

// Asks for an integer until it lies in min..max (each refusal beeps, and
// shows `refusal` when one is given). Cancel keeps `value`. Text that is not
// a number throws ConversionError.
int32_t GetNewInteger(Ctx& ctx, const std::string& caption, const std::string& prompt, int64_t min, int64_t max,
                      int32_t value, const std::string& refusal = std::string());

}  // namespace vk
