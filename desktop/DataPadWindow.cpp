#include "desktop/DataPadWindow.h"

#include <QHeaderView>
#include <QVBoxLayout>
#include <algorithm>

namespace vk {

DataPadWindow::DataPadWindow(QDialog* w) : window_(w) {
    w->setWindowTitle("Data Pad");
    auto* l = new QVBoxLayout(w);
    grid_ = new QTableWidget(w);
    grid_->setObjectName("DataPadGrid");
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    l->addWidget(grid_);
    w->resize(520, 400);
}

void DataPadWindow::show(const std::vector<std::vector<std::string>>& cells) {
    size_t columns = 0;
    for (const auto& row : cells) columns = std::max(columns, row.size());
    grid_->clearContents();
    grid_->setRowCount(static_cast<int>(cells.size()));
    grid_->setColumnCount(static_cast<int>(columns));
    for (size_t r = 0; r < cells.size(); ++r)
        for (size_t c = 0; c < cells[r].size(); ++c)
            grid_->setItem(static_cast<int>(r), static_cast<int>(c), new QTableWidgetItem(QString::fromStdString(cells[r][c])));
    window_->show();
    window_->raise();
}

}  // namespace vk
