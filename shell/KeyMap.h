// The letter and digit keys of the main window: one line per key and the
// area it acts in. A key acts only while the mouse lies strictly inside the
// electrogram plot area or the map area of the panel under it; upper and
// lower case act alike. A key without a line does nothing.
#pragma once

#include <vector>

#include "session/Context.h"

namespace vk {

enum class KeyArea { Plot, Map };

struct KeyRoute {
    char key;  // upper case
    KeyArea area;
    void (*run)(Ctx&, int panel);
    bool redraw;  // the key redraws after the operation (others redraw themselves)
};

const std::vector<KeyRoute>& KeyRoutes();

// A letter or digit typed in the main window. True when the mouse was
// inside an area that takes keys, whether or not the key has an operation
// there (the key is then used up).
bool CharacterKey(Ctx& ctx, char key);

}  // namespace vk
