#include "desktop/ReferenceTableWindow.h"

#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "marks/ReferenceTable.h"
#include "session/Ask.h"

namespace vk {

namespace {

struct ColumnDef {
    const char* caption;
    int width;
};
constexpr ColumnDef Columns[] = {{"Nr:", 51}, {"Electrode:", 76}, {"Time:", 64}};
constexpr int RowHeight = 18;

QLineEdit* edit(QWidget* parent, const char* name, const char* text) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(name);
    e->setFixedWidth(70);
    return e;
}

}  // namespace

ReferenceTableWindow::ReferenceTableWindow(QDialog* window, Runner run)
    : QObject(window), window_(window), run_(std::move(run)) {
    window_->setWindowTitle("Reference Table");
    window_->setWindowFlag(Qt::WindowStaysOnTopHint);
    auto* l = new QVBoxLayout(window_);

    auto* current = new QGroupBox("Current: ", window_);
    auto* c = new QGridLayout(current);
    curEle_ = new QLabel(current);
    curEle_->setObjectName("CurRefEle");
    curTime_ = new QLabel(current);
    curTime_->setObjectName("CurRefTime");
    c->addWidget(new QLabel("Electrode:", current), 0, 0);
    c->addWidget(curEle_, 0, 1);
    c->addWidget(new QLabel("Time:", current), 1, 0);
    c->addWidget(curTime_, 1, 1);
    c->setColumnStretch(1, 1);
    l->addWidget(current);

    l->addWidget(new QLabel("Click on reference time :", window_));
    grid_ = new QTableWidget(0, 3, window_);
    grid_->setObjectName("RefGrid");
    grid_->verticalHeader()->hide();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    // Rows as tall as the text needs, never below the grid's usual 18 pixels.
    grid_->verticalHeader()->setDefaultSectionSize(std::max(RowHeight, grid_->fontMetrics().height() + 4));
    int width = 2 * grid_->frameWidth() + 20;  // room for the scroll bar
    for (int i = 0; i < 3; ++i) {
        grid_->setHorizontalHeaderItem(i, new QTableWidgetItem(Columns[i].caption));
        const int fit = grid_->horizontalHeader()->fontMetrics().horizontalAdvance(Columns[i].caption) + 16;
        grid_->setColumnWidth(i, std::max(Columns[i].width, fit));
        width += grid_->columnWidth(i);
    }
    grid_->setFixedSize(width, 12 * grid_->verticalHeader()->defaultSectionSize());
    l->addWidget(grid_, 0, Qt::AlignHCenter);

    auto* byNumber = new QHBoxLayout();
    byNumber->addWidget(new QLabel("or give the new reference nr: ", window_));
    number_ = edit(window_, "InsertRefNr", "1");
    byNumber->addWidget(number_);
    byNumber->addStretch();
    l->addLayout(byNumber);

    l->addWidget(new QLabel("or insert a new reference time:", window_));
    auto* insertRow = new QGridLayout();
    electrode_ = edit(window_, "InsertRefEle", "0");
    time_ = edit(window_, "InsertRefTime", "0");
    insert_ = new QPushButton("Insert", window_);
    insert_->setObjectName("InsertButton");
    insert_->setEnabled(false);
    insertRow->addWidget(new QLabel("Electrode:", window_), 0, 0);
    insertRow->addWidget(electrode_, 0, 1);
    insertRow->addWidget(new QLabel("Time:", window_), 1, 0);
    insertRow->addWidget(time_, 1, 1);
    insertRow->addWidget(insert_, 0, 2, 2, 1);
    insertRow->setColumnStretch(3, 1);
    l->addLayout(insertRow);

    auto* buttons = new QHBoxLayout();
    auto* ok = new QPushButton("OK", window_);
    ok->setObjectName("OkButton");
    auto* cancel = new QPushButton("Cancel", window_);
    cancel->setObjectName("CancelButton");
    auto* remove = new QPushButton("Delete Reference", window_);
    remove->setObjectName("DeleteButton");
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(remove);
    l->addLayout(buttons);

    connect(grid_, &QTableWidget::cellClicked, this,
            [this](int row, int) { act([row](Ctx& ctx) { RefGridSelectCell(ctx.s, row); }); });
    connect(number_, &QLineEdit::textEdited, this, [this](const QString& text) {
        act([t = text.toStdString()](Ctx& ctx) { InsertRefNrChange(ctx, t); });
    });
    for (QLineEdit* e : {electrode_, time_})
        connect(e, &QLineEdit::textEdited, this, [this] { insert_->setEnabled(true); });
    connect(insert_, &QPushButton::clicked, this, [this] {
        act([e = electrode_->text().toStdString(), t = time_->text().toStdString()](Ctx& ctx) {
            runCommand(ctx, [&] { InsertButtonClick(ctx, e, t); });
        });
    });
    connect(remove, &QPushButton::clicked, this, [this] { act(DeleteButtonClick); });
    connect(ok, &QPushButton::clicked, this, [this] {
        window_->hide();
        run_(OkbuttonClick);
    });
    // "Cancel", Escape and the window frame's close hide the window and redraw.
    connect(cancel, &QPushButton::clicked, window_, &QDialog::reject);
    connect(window_, &QDialog::rejected, this, [this] { run_(CancelButtonClick); });
    window_->setFixedSize(window_->sizeHint());
}

void ReferenceTableWindow::open(SessionState& s) {
    UpdateReferenceTable(s);
    refresh(s);
    window_->show();
    window_->raise();
}

void ReferenceTableWindow::act(const std::function<void(Ctx&)>& command) {
    const SessionState* state = nullptr;
    run_([&](Ctx& ctx) {
        command(ctx);
        state = &ctx.s;
    });
    if (state) refresh(*state);
}

void ReferenceTableWindow::refresh(const SessionState& s) {
    curEle_->setText(QString::number(s.CandidateElectrode));
    curTime_->setText(QString::number(s.CandidateTime));
    const auto rows = RefGridRows(s);
    grid_->setRowCount(static_cast<int>(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < 3; ++c)
            grid_->setItem(static_cast<int>(r), static_cast<int>(c), new QTableWidgetItem(QString::fromStdString(rows[r][c])));
}

}  // namespace vk
