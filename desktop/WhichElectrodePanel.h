// The main window's panel "Which electrode number?" of the export "All
// Marks in One Electrogram": an edit with Ok and Cancel, shown at (400, 300)
// over the panels.
#pragma once

#include <functional>

#include "session/Context.h"

class QFrame;
class QLineEdit;
class QWidget;

namespace vk {

class WhichElectrodePanel {
public:
    using Runner = std::function<void(const std::function<void(Ctx&)>&)>;
    WhichElectrodePanel(QWidget* mainWindow, Runner run);

    void open();
    QFrame* frame() const { return frame_; }
    QLineEdit* edit() const { return edit_; }

private:
    QFrame* frame_;
    QLineEdit* edit_;
};

}  // namespace vk
