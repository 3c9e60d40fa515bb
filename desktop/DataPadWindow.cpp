#include "desktop/DataPadWindow.h"

#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace vk {

DataPadWindow::DataPadWindow(QDialog* w, std::function<void()> ok) : window_(w) {
    w->setWindowTitle("Data Pad");
    auto* l = new QVBoxLayout(w);
    grid_ = new QTableWidget(w);
    grid_->setObjectName("DataPadGrid");
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setWordWrap(false);
    l->addWidget(grid_);
    auto* button = new QPushButton("Ok", w);
    button->setObjectName("Button1");
    l->addWidget(button, 0, Qt::AlignHCenter);
    QObject::connect(button, &QPushButton::clicked, w, [w, ok] {
        w->hide();
        if (ok) ok();
    });
    w->resize(620, 420);
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
    // Every cell shows whole (a file name is wider than a number).
    grid_->resizeColumnsToContents();
    window_->show();
    window_->raise();
}

}  // namespace vk
