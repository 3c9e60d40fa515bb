#include "desktop/MacWindow.h"

#include <QButtonGroup>
#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "exchange/MacExport.h"
#include "session/Draw.h"

namespace vk {

MacWindow::MacWindow(QDialog* w, Runner run) : window_(w), choices_(new QButtonGroup(w)) {
    w->setWindowTitle("CopyToMac");
    w->setWindowFlag(Qt::WindowStaysOnTopHint);
    auto* l = new QVBoxLayout(w);
    auto* warning = new QLabel("WARNING; only content of Display A is copied!", w);
    QFont bold = warning->font();
    bold.setBold(true);
    warning->setFont(bold);
    l->addWidget(warning);
    auto* box = new QGroupBox("Copy to Mac facility", w);
    box->setObjectName("MacChoice");
    auto* items = new QVBoxLayout(box);
    for (int i = 0; i < 3; ++i) {
        auto* item = new QRadioButton(MacCopyItems[i], box);
        choices_->addButton(item, i);
        items->addWidget(item);
    }
    choices_->button(0)->setChecked(true);
    l->addWidget(box);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton("OK", w);
    ok->setObjectName("OKbutton");
    auto* cancel = new QPushButton("Cancel", w);
    cancel->setObjectName("CancelButton");
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    l->addLayout(buttons);
    QObject::connect(ok, &QPushButton::clicked, w, [this, run] {
        const auto what = static_cast<MacCopy>(choices_->checkedId());
        window_->hide();
        run([what](Ctx& c) { MacOkClick(c, what); });
    });
    QObject::connect(cancel, &QPushButton::clicked, w, [this, run] {
        window_->hide();
        run(UpdateDisplay);
    });
}

void MacWindow::open() {
    window_->show();
    window_->raise();
}

}  // namespace vk
