#include "desktop/WhichElectrodePanel.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "exchange/DataExports.h"
#include "session/Draw.h"

namespace vk {

WhichElectrodePanel::WhichElectrodePanel(QWidget* mainWindow, Runner run)
    : frame_(new QFrame(mainWindow)), edit_(new QLineEdit(frame_)) {
    frame_->setObjectName("WhichElectrodePanel");
    frame_->setFrameShape(QFrame::Panel);
    frame_->setFrameShadow(QFrame::Raised);
    frame_->setAutoFillBackground(true);
    auto* l = new QVBoxLayout(frame_);
    l->addWidget(new QLabel("Which electrode number?", frame_));
    edit_->setObjectName("EditWhichEle");
    l->addWidget(edit_);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton("Ok", frame_);
    auto* cancel = new QPushButton("Cancel", frame_);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    l->addLayout(buttons);
    frame_->adjustSize();
    frame_->hide();
    auto accept = [this, run] {
        const std::string typed = edit_->text().toStdString();
        frame_->hide();
        run([typed](Ctx& c) { WhichElectrodeOkClick(c, typed); });
    };
    QObject::connect(ok, &QPushButton::clicked, frame_, accept);
    QObject::connect(edit_, &QLineEdit::returnPressed, frame_, accept);
    QObject::connect(cancel, &QPushButton::clicked, frame_, [this, run] {
        frame_->hide();
        run(UpdateDisplay);
    });
}

void WhichElectrodePanel::open() {
    frame_->move(400, 300);
    frame_->show();
    frame_->raise();
    edit_->setFocus();
    edit_->selectAll();
}

}  // namespace vk
