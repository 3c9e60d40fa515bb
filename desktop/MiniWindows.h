// The two small stay-on-top windows of the electrode array: the mini map
// (MapF: dots, frames round the traces' electrodes, the position under the
// mouse in the caption, a click moves the traces, the arrow keys step them)
// and the passive mini grid (MiniWindowF). What they draw and decide lives
// in maps/MiniMap.
#pragma once

#include <QObject>
#include <functional>

#include "desktop/QtCanvas.h"
#include "session/Context.h"

class QDialog;

namespace vk {

class PanelWidget;

class MiniMapWindow : public QObject {
public:
    using Runner = std::function<void(const std::function<void(Ctx&)>&)>;
    MiniMapWindow(QDialog* window, Runner run);

    // Shown and redrawn while ShowMiniMap is on, hidden when it is off.
    void sync(SessionState& s);
    QDialog* window() const { return window_; }
    PanelWidget* paintBox() const { return paint_; }
    QtCanvas& canvas() { return canvas_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QDialog* window_;
    Runner run_;
    QtCanvas canvas_;
    PanelWidget* paint_;
    bool placed_ = false;
};

class MiniGridWindow {
public:
    explicit MiniGridWindow(QDialog* window);
    void sync(const SessionState& s);
    QDialog* window() const { return window_; }
    QtCanvas& canvas() { return canvas_; }

private:
    QDialog* window_;
    QtCanvas canvas_;
    PanelWidget* paint_;
    bool placed_ = false;
};

}  // namespace vk
