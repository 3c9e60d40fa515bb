#include "shell/KeyMap.h"

#include <cctype>

#include "maps/MapBuffer.h"
#include "maps/MapCommands.h"
#include "marks/Connections.h"
#include "marks/ManualMarking.h"
#include "marks/MarkStore.h"
#include "session/Draw.h"

namespace vk {

const std::vector<KeyRoute>& KeyRoutes() {
    static const std::vector<KeyRoute> table = {
        {'W', KeyArea::Plot, [](Ctx& c, int) { PropagateMark(c); }, false},
        {'D', KeyArea::Plot, [](Ctx& c, int) { DeleteMark(c); }, false},
        {'R', KeyArea::Plot, [](Ctx& c, int) { InsertReferenceMark(c); }, false},
        {'S', KeyArea::Plot, [](Ctx& c, int) { SwitchMark(c); }, true},
        {'K', KeyArea::Plot, [](Ctx& c, int) { KillMarks(c.s); }, true},
        {'Y', KeyArea::Plot, [](Ctx& c, int) { ConnectionKey(c, 'Y'); }, false},
        {'F', KeyArea::Plot, [](Ctx& c, int) { ConnectionKey(c, 'F'); }, false},
        {'Z', KeyArea::Plot, [](Ctx& c, int) { ConnectionKey(c, 'Z'); }, false},
        {'1', KeyArea::Plot, [](Ctx& c, int) { ConnectionKey(c, '1'); }, false},
        {'2', KeyArea::Plot, [](Ctx& c, int) { ConnectionKey(c, '2'); }, false},

        {'E', KeyArea::Map, [](Ctx& c, int panel) { MapKey(c, panel, 'E'); }, false},
        {'H', KeyArea::Map, [](Ctx& c, int panel) { MapKey(c, panel, 'H'); }, false},
        {'U', KeyArea::Map, [](Ctx& c, int panel) { MapKey(c, panel, 'U'); }, false},
    };
    return table;
}

bool CharacterKey(Ctx& ctx, char key) {
    SessionState& s = ctx.s;
    const int panel = s.ActiveDisplay == 2 ? 2 : 1;
    const int type = panel == 2 ? s.DisplayTypeB : s.DisplayTypeA;
    KeyArea area;
    if (type == 1 && InsidePlotArea(s, panel, s.MouseX, s.MouseY)) {
        area = KeyArea::Plot;
    } else if (type == 0 && InsideMapArea(s, s.MouseX, s.MouseY)) {
        area = KeyArea::Map;
    } else {
        return false;
    }
    const char k = static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
    for (const KeyRoute& r : KeyRoutes()) {
        if (r.key != k || r.area != area) continue;
        r.run(ctx, panel);
        if (r.redraw) UpdateDisplay(ctx);
    }
    return true;
}

}  // namespace vk
