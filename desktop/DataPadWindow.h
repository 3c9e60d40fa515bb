// The Data Pad: a grid of text cells that commands fill with their results
// (the measurements of "Calc Amplitudes + Slopes", among others).
#pragma once

#include <QDialog>
#include <QTableWidget>
#include <string>
#include <vector>

namespace vk {

class DataPadWindow {
public:
    // Lays the grid out in the window `w` (the program's Data Pad window).
    explicit DataPadWindow(QDialog* w);
    // Shows the cells, row 0 first, and brings the window up.
    void show(const std::vector<std::vector<std::string>>& cells);

private:
    QDialog* window_;
    QTableWidget* grid_;
};

}  // namespace vk
