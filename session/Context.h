// What a command works with: the session, the host that answers for the
// user, the two panel surfaces, and the redraw that ends nearly every
// command.
#pragma once

#include "session/Canvas.h"
#include "session/Host.h"
#include "session/SessionState.h"

namespace vk {

struct Ctx;

// Redraws panel 1 (A) or 2 (B) and brings the window in line, or with 0
// every panel shown. Drawing a panel reaches into every kind of display
// (traces, maps, wave maps), so the program's top layer supplies it and the
// commands of each part reach it through here.
using RedrawFn = void (*)(Ctx& ctx, int panel);

struct Ctx {
    Ctx(SessionState& state, Host& h, RedrawFn redrawFn, Canvas* a = nullptr, Canvas* b = nullptr)
        : s(state), host(h), redraw(redrawFn), canvasA(a), canvasB(b) {}

    SessionState& s;
    Host& host;
    RedrawFn redraw = nullptr;  // nullptr: nothing is drawn
    Canvas* canvasA = nullptr;
    Canvas* canvasB = nullptr;
};

}  // namespace vk
