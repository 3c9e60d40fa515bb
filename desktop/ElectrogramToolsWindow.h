// The electrogram tools window (EleF): the statistics memo that the map
// statistics and "Spike Stats" write, with "Ok" and "save as text". It
// stays on top of the main window; the lines live in the session.
#pragma once

#include <QObject>
#include <functional>

#include "session/Context.h"

class QDialog;
class QPlainTextEdit;
class QPushButton;

namespace vk {

class ElectrogramToolsWindow : public QObject {
public:
    using Runner = std::function<void(const std::function<void(Ctx&)>&)>;
    ElectrogramToolsWindow(QDialog* window, Runner run);

    // Shows StatsMemo; brings the window up when a command asked for it.
    void sync(SessionState& s);
    QPlainTextEdit* memo() const { return memo_; }
    QPushButton* saveButton() const { return save_; }
    // "save as text" with the file already chosen (the button asks for one).
    void saveTo(const QString& path);

private:
    QDialog* window_;
    Runner run_;
    QPlainTextEdit* memo_;
    QPushButton* save_;
    bool placed_ = false;
};

}  // namespace vk
