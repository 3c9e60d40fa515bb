#include "maps/MapCommands.h"

#include <cctype>
#include <limits>

#include "layout/TraceLayout.h"
#include "maps/MapBuffer.h"
#include "maps/MapDraw.h"
#include "maps/MapExpand.h"
#include "marks/MarkStore.h"
#include "session/Draw.h"
#include "session/Ask.h"

namespace vk {

namespace {

constexpr int64_t NoLimit = std::numeric_limits<int32_t>::max();

bool isElectrode(int32_t e) { return e >= 1 && e <= MaxChannels; }

}  // namespace

void ToggleMapOption(Ctx& ctx, MapOption option) {
    SessionState& s = ctx.s;
    switch (option) {
        case MapOption::Grid: s.ShowGrid = !s.ShowGrid; break;
        case MapOption::Colors: s.ShowMapColors = !s.ShowMapColors; break;
        case MapOption::Digits: s.ShowMapDigits = !s.ShowMapDigits; break;
        case MapOption::Isochrones: s.PlotIsochrones = !s.PlotIsochrones; break;
        case MapOption::SWsAndSpikes: s.ShowSWsAndSpikes = !s.ShowSWsAndSpikes; break;
        case MapOption::Arrows: s.PlotArrows = !s.PlotArrows; break;
    }
    UpdateDisplay(ctx);
}

std::string MapOptionCaption(const SessionState& s, MapOption option) {
    switch (option) {
        case MapOption::Grid: return s.ShowGrid ? "hide Grid" : "show Grid";
        case MapOption::Colors: return s.ShowMapColors ? "hide map colors" : "show map colors";
        case MapOption::Digits: return s.ShowMapDigits ? "hide map digits" : "show map digits";
        case MapOption::Isochrones: return s.PlotIsochrones ? "hide Isochrones" : "show Isochrones";
        case MapOption::SWsAndSpikes: return "show SW's + spikes";
        case MapOption::Arrows: return s.PlotArrows ? "hide Arrows" : "plot Arrows";
    }
    return {};
}

void ChangeIsochrones1Click(Ctx& ctx) {
    // A width of 0 would divide by zero in the bands and the isochrone levels.
    ctx.s.IsochroneWidth =
        GetNewInteger(ctx, "Change isochones", "Give new isochrone value:", 1, NoLimit, ctx.s.IsochroneWidth,
                      IsochroneRefusalText);
    UpdateDisplay(ctx);
}

void ReferenceTime1Click(Ctx& ctx) {
    ctx.s.RefTime = GetNewInteger(ctx, "Change RefTime", "Give new RefTime:", 0, NoLimit, ctx.s.RefTime);
    UpdateDisplay(ctx);
}

void MapClick(Ctx& ctx, int panel, int x, int y) {
    SessionState& s = ctx.s;
    (void)panel;
    int column = 0, row = 0;
    if (!MapCellAt(s, x, y, column, row)) return;
    const int32_t e = GridElectrode(s, column, row);
    s.CellElectrode = e;
    if (!isElectrode(e)) return;
    s.FirstChannel = e;
    s.StartCol = column;
    s.StartRow = row;
    if (s.TraceOrder == 3) ToggleFreeTrace(s, e);
    if (s.Tiled) UpdateDisplay(ctx);
}

void MapDoubleClick(Ctx& ctx, int panel, int x, int y) {
    SessionState& s = ctx.s;
    int column = 0, row = 0;
    if (!MapCellAt(s, x, y, column, row)) return;
    const int32_t e = GridElectrode(s, column, row);
    s.CellElectrode = e;
    if (!isElectrode(e)) return;
    // The cross goes on the panel that was double-clicked, whichever panel
    // was drawn last.
    DrawOnPanel cross(ctx, panel);
    if (cross.ready()) CrossCell(ctx, e);
}

void MapKey(Ctx& ctx, int panel, char key) {
    SessionState& s = ctx.s;
    const char k = static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
    if (k != 'H' && k != 'U' && k != 'E') return;
    if (k == 'E') return FillCellKey(ctx);
    ctx.host.beep();
    int column = 0, row = 0;
    if (MapCellAt(s, s.MouseX, s.MouseY, column, row)) {
        const int32_t e = GridElectrode(s, column, row);
        s.CellElectrode = e;
        if (isElectrode(e) && k == 'H') {
            // The marks that gave this panel's cell its time.
            const int32_t t = MapCellTime(s, panel, column, row);
            if (t != Missing && t != Excluded) HideMarks(s, e, t);
        }
        if (isElectrode(e) && k == 'U') UnhideElectrode(s, e);
    }
    UpdateDisplay(ctx);
}

}  // namespace vk
