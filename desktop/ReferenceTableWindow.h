// The window "Reference Table" (RefForm): the reference marks in a grid,
// the pair chosen so far under "Current: ", and the fields that choose an
// entry by number or insert a new reference mark. It stays on top of the
// main window while open. The rules live in marks/ReferenceTable.
#pragma once

#include <QObject>
#include <functional>

#include "session/Context.h"

class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace vk {

class ReferenceTableWindow : public QObject {
public:
    // run: how the main window runs a command (and brings itself in line).
    using Runner = std::function<void(const std::function<void(Ctx&)>&)>;
    ReferenceTableWindow(QDialog* window, Runner run);

    // General > "Reference Table": rebuilds the table and shows the window.
    void open(SessionState& s);

    QDialog* window() const { return window_; }
    QTableWidget* grid() const { return grid_; }
    QLineEdit* numberEdit() const { return number_; }
    QLineEdit* electrodeEdit() const { return electrode_; }
    QLineEdit* timeEdit() const { return time_; }
    QPushButton* insertButton() const { return insert_; }
    QLabel* currentElectrode() const { return curEle_; }
    QLabel* currentTime() const { return curTime_; }

private:
    // Shows the table and the candidate pair as the session holds them.
    void refresh(const SessionState& s);
    // Runs a command of the window and shows its result.
    void act(const std::function<void(Ctx&)>& command);

    QDialog* window_;
    Runner run_;
    QTableWidget* grid_ = nullptr;
    QLineEdit *number_ = nullptr, *electrode_ = nullptr, *time_ = nullptr;
    QPushButton* insert_ = nullptr;
    QLabel *curEle_ = nullptr, *curTime_ = nullptr;
};

}  // namespace vk
