// The dialog "Wave Form Settings:" (window WaveF) over the waveform grid's
// signal length and switches. The rules live in waves/WaveformGrid.
#pragma once

#include <QObject>
#include <array>
#include <functional>

#include "session/Context.h"

class QCheckBox;
class QDialog;
class QLineEdit;

namespace vk {

class WaveFormDialog : public QObject {
public:
    // run: how the main window runs a command (and brings itself in line).
    using Runner = std::function<void(const std::function<void(Ctx&)>&)>;
    WaveFormDialog(QDialog* window, Runner run);

    // "Elg Wave settings": fills the fields from the session and shows the window.
    void open(const SessionState& s);

    QLineEdit* lengthEdit() const { return length_; }
    // "Grid?", "Mark align?", "Plot Elg nr?", "Grid label?".
    QCheckBox* box(int i) const { return boxes_[static_cast<size_t>(i)]; }

private:
    void ok();

    QDialog* window_;
    Runner run_;
    QLineEdit* length_ = nullptr;
    std::array<QCheckBox*, 4> boxes_{};
};

}  // namespace vk
