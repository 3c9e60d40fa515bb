// The window "Analyse Electrogram" (AlyElgForm): one electrogram over its
// sample difference with the slow-wave search level, the three edits of the
// slow-wave search settings, the electrode up/down and the cursor read-out.
// The rules live in electrograms/SingleElectrogram.
#pragma once

#include <QObject>
#include <functional>

#include "desktop/QtCanvas.h"
#include "session/Context.h"

class QDialog;
class QLabel;
class QLineEdit;
class QToolButton;

namespace vk {

class PanelWidget;

class AnalyseElgWindow : public QObject {
public:
    using Runner = std::function<void(const std::function<void(Ctx&)>&)>;
    AnalyseElgWindow(QDialog* window, Runner run);

    // "Analyse Elg": initialises the window from the session and shows it.
    void open(Ctx& ctx);
    // Labels, edits (unless fillEdits is false) and both traces from the session.
    void display(Ctx& ctx, bool fillEdits = true);

    QtCanvas& canvas() { return canvas_; }
    PanelWidget* paintBox() const { return paint_; }
    QLabel* label(const char* name) const;
    QLineEdit* edit(int i) const { return edits_[i]; }  // level, width, diff dist
    QToolButton* stepButton(bool up) const { return up ? up_ : down_; }

private:
    void mouseMoved(int x);

    QDialog* window_;
    Runner run_;
    QtCanvas canvas_;
    PanelWidget* paint_ = nullptr;
    QLabel* typeLabel_ = nullptr;
    QLineEdit* edits_[3] = {};
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    SessionState* state_ = nullptr;
};

}  // namespace vk
