#include "desktop/MiniWindows.h"

#include <QDialog>
#include <QKeyEvent>
#include <algorithm>
#include <optional>

#include "desktop/PanelWidget.h"
#include "maps/MiniMap.h"
#include "electrograms/TraceDisplay.h"

namespace vk {

namespace {

constexpr int CaptionWidth = 320;

// A small tool window over the main window, at the size the grid needs.
void prepare(QDialog* w, const char* title) {
    w->setWindowTitle(title);
    w->setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
}

// Shows the window, the first time at `corner` pixels in from the main
// window's bottom left, where it hides the least of the panels.
void showAt(QDialog* w, bool& placed, QPoint corner) {
    if (w->isVisible()) return;
    if (!placed && w->parentWidget()) {
        const QRect main = w->parentWidget()->geometry();
        w->move(main.left() + corner.x(), main.bottom() - w->height() - corner.y());
        placed = true;
    }
    w->show();
}

void fit(QDialog* w, QtCanvas& canvas, PanelWidget* paint, const MiniSize& m, int minimumWidth = 0) {
    w->setFixedSize(std::max(m.windowWidth, minimumWidth), m.windowHeight);
    paint->setGeometry(1, 1, m.paintWidth, m.paintHeight);
    if (canvas.width() != m.paintWidth || canvas.height() != m.paintHeight) canvas.resize(m.paintWidth, m.paintHeight);
}

// Redraws the canvas with `draw`; the paint box shows the result. The window
// is shown first, so that its first layout does not wipe the drawing.
template <typename Draw>
void repaint(QtCanvas& canvas, Draw draw) {
    canvas.beginDraw();
    draw();
    canvas.endDraw();
}

}  // namespace

MiniMapWindow::MiniMapWindow(QDialog* window, Runner run) : QObject(window), window_(window), run_(std::move(run)) {
    prepare(window_, "MiniMap");
    paint_ = new PanelWidget(canvas_, window_);
    paint_->setObjectName("MiniMapPaint");
    paint_->onMouseMove = [this](int x, int y) {
        run_([&](Ctx& c) { window_->setWindowTitle(QString::fromStdString(MiniMapMouse(c.s, x, y))); });
    };
    paint_->onClick = [this](int, int, bool) { run_(MiniMapClick); };
    // The arrow keys step the traces as they do in the main window.
    window_->installEventFilter(this);
    paint_->installEventFilter(this);
    // Closing the window by its frame switches the mini map off.
    connect(window_, &QDialog::rejected, this, [this] {
        run_([](Ctx& c) {
            if (c.s.ShowMiniMap) ShowMiniMap1Click(c);
        });
    });
}

bool MiniMapWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && watched == window_) {
        run_(MiniMapClick);
        return true;
    }
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    std::optional<NavKey> nav;
    switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up: nav = NavKey::Up; break;
        case Qt::Key_Down: nav = NavKey::Down; break;
        case Qt::Key_Left: nav = NavKey::Left; break;
        case Qt::Key_Right: nav = NavKey::Right; break;
        default: return QObject::eventFilter(watched, event);
    }
    run_([&](Ctx& c) { MoveStartCell(c, *nav); });
    return true;
}

void MiniMapWindow::sync(SessionState& s) {
    if (!s.ShowMiniMap) {
        window_->hide();
        return;
    }
    // Wide enough for the caption that names the position under the mouse.
    fit(window_, canvas_, paint_, MiniMapSize(s), CaptionWidth);
    showAt(window_, placed_, QPoint(30, 60));
    const QColor face = window_->palette().color(QPalette::Button);
    const auto colour = static_cast<Colour>(face.red() | face.green() << 8 | face.blue() << 16);
    repaint(canvas_, [&] { DrawMiniMap(s, canvas_, colour); });
}

MiniGridWindow::MiniGridWindow(QDialog* window) : window_(window) {
    prepare(window_, "Mini Grid");
    paint_ = new PanelWidget(canvas_, window_);
    paint_->setObjectName("MiniGridPaint");
}

void MiniGridWindow::sync(const SessionState& s) {
    if (!s.ShowMiniWindow) {
        window_->hide();
        return;
    }
    fit(window_, canvas_, paint_, MiniGridSize(s));
    showAt(window_, placed_, QPoint(300, 60));
    repaint(canvas_, [&] { DisplayMiniGrid(s, canvas_); });
}

}  // namespace vk
