// "vorelkant-cli render": panel A drawn into a PNG through the same drawing
// code and Qt canvas as the desktop program.
#pragma once

#include <string>

#include "session/Context.h"

namespace vk {

// Draws panel A for a paint box of width x height pixels and saves it.
// Returns an error message, or "" on success.
std::string RenderPanelA(Ctx& ctx, int width, int height, const std::string& out);

}  // namespace vk
