// The Data Pad: a grid of text cells that commands fill with their results
// (the measurements of "Calc Amplitudes + Slopes", among others), and its
// "Ok" button, which hides the window and redraws the main window.
#pragma once

#include <QDialog>
#include <QTableWidget>
#include <functional>
#include <string>
#include <vector>

namespace vk {

class DataPadWindow {
public:
    // Lays the grid out in the window `w` (the program's Data Pad window);
    // `ok` runs after "Ok" hid the window.
    explicit DataPadWindow(QDialog* w, std::function<void()> ok = {});
    // Shows the cells, row 0 first, and brings the window up.
    void show(const std::vector<std::vector<std::string>>& cells);
    QTableWidget* grid() const { return grid_; }

private:
    QDialog* window_;
    QTableWidget* grid_;
};

}  // namespace vk
