// The import window "ImportF": one of three panels (Nashville, Auckland,
// Manchester text files) showing what an import will use and asking
// whether to load the file. The rules live in input/TextImport; the window
// shows ImportF of the session and passes the buttons on.
#pragma once

#include <QObject>
#include <array>
#include <functional>

#include "session/Context.h"

class QDialog;
class QFrame;
class QLabel;
class QLineEdit;

namespace vk {

class ImportWindow : public QObject {
public:
    using Runner = std::function<void(const std::function<void(Ctx&)>&)>;
    ImportWindow(QDialog* window, SessionState& state, Runner run);

    // Shows the panel set up in the session (or hides the window).
    void sync(bool shown);

    QDialog* window() const { return window_; }
    // Panel 4 Nashville, 5 Auckland, 6 Manchester.
    QFrame* panel(int importType) const { return panels_[index(importType)].frame; }
    // The edits of the Nashville and Manchester panels: 0 channels, 1 samples,
    // 2 sampling rate, 3 matrix name.
    QLineEdit* edit(int importType, int field) const { return panels_[index(importType)].edits[static_cast<size_t>(field)]; }

private:
    struct Panel {
        QFrame* frame = nullptr;
        QLabel* fileName = nullptr;
        QLabel* maximum = nullptr;
        std::array<QLineEdit*, 4> edits{};
        std::array<QLabel*, 7> values{};  // Auckland header rows 1..7
        std::array<QLabel*, 2> warnings{};
    };
    static size_t index(int importType) { return static_cast<size_t>(importType - 4); }
    void build(int importType);
    void ok();

    QDialog* window_;
    SessionState& state_;
    Runner run_;
    std::array<Panel, 3> panels_;
};

}  // namespace vk
