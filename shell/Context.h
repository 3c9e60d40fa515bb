// What a command works with: the session, the host that answers for the
// user, and the two panel surfaces.
#pragma once

#include "shell/Canvas.h"
#include "shell/Host.h"
#include "shell/SessionState.h"

namespace vk {

struct Ctx {
    SessionState& s;
    Host& host;
    Canvas* canvasA = nullptr;
    Canvas* canvasB = nullptr;
};

}  // namespace vk
