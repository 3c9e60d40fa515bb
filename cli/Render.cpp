#include "cli/Render.h"


#include "desktop/QtCanvas.h"
#include "shell/Display.h"

namespace vk {

std::string RenderPanelA(Ctx& ctx, int width, int height, const std::string& out) {
    const OffscreenQt qt;  // text needs a Qt application

    QtCanvas canvas;
    canvas.resize(width, height);
    Ctx drawing{ctx.s, ctx.host, RedrawPanels, &canvas, nullptr};
    // The panel around the paint box holds its 25-pixel title bar as well.
    ctx.s.PanelAWidth = width;
    ctx.s.PanelAHeight = height + 25;
    UpdateDisplayA(drawing);
    if (!canvas.image().save(QString::fromStdString(out), "PNG")) return "cannot write " + out;
    return {};
}

}  // namespace vk
