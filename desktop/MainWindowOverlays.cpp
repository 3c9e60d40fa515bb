// The panels drawn over the main area: progress, file information, help
// and about.
#include "desktop/MainWindow.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "desktop/ImportWindow.h"
#include "session/Texts.h"
#include "shell/Commands.h"

namespace vk {

void MainWindow::placeOverlay(QWidget* w) {
    w->move(std::max(0, (mainPanel_->width() - w->width()) / 2), std::max(0, (mainPanel_->height() - w->height()) / 3));
}

void MainWindow::buildOverlays() {
    auto frame = [this](const char* name, int w, int h) {
        auto* f = new QFrame(mainPanel_);
        f->setObjectName(name);
        f->setFrameShape(QFrame::Panel);
        f->setFrameShadow(QFrame::Raised);
        f->setAutoFillBackground(true);
        f->resize(w, h);
        f->hide();
        return f;
    };

    messagePanel_ = frame("MessagePanel", 420, 150);
    {
        auto* l = new QVBoxLayout(messagePanel_);
        messageCaption_ = new QLabel(messagePanel_);
        messageCaption_->setAlignment(Qt::AlignCenter);
        l->addWidget(messageCaption_);
        progressDetail_ = new QLabel(messagePanel_);
        progressDetail_->setObjectName("LabelWaveNr");
        progressDetail_->setAlignment(Qt::AlignCenter);
        l->addWidget(progressDetail_);
        auto row = [&](const char* label, QLabel*& value, const char* name) {
            auto* h = new QHBoxLayout();
            h->addWidget(new QLabel(label, messagePanel_));
            value = new QLabel(messagePanel_);
            value->setObjectName(name);
            h->addWidget(value, 1);
            l->addLayout(h);
        };
        row("File  Name:", inputFileName_, "InputFileName1");
        row("Matrix Name:", inputMatrixName_, "InputMatrixName1");
        progress_ = new QProgressBar(messagePanel_);
        progress_->setObjectName("ProgressBar1");
        l->addWidget(progress_);
    }

    infoPanel_ = frame("InfoPanel", 520, 110);
    {
        auto* l = new QVBoxLayout(infoPanel_);
        l->addWidget(new QLabel("File  Information: ", infoPanel_));
        fileInfoEdit_ = new QLineEdit(infoPanel_);
        fileInfoEdit_->setObjectName("FileInfoEdit1");
        fileInfoEdit_->setMaxLength(255);  // what the mark file can keep
        l->addWidget(fileInfoEdit_);
        auto* h = new QHBoxLayout();
        auto* ok = new QPushButton("Ok", infoPanel_);
        ok->setObjectName("OkButton1");
        auto* cancel = new QPushButton("Cancel", infoPanel_);
        cancel->setObjectName("CancelButton1");
        h->addStretch();
        h->addWidget(ok);
        h->addWidget(cancel);
        l->addLayout(h);
        connect(fileInfoEdit_, &QLineEdit::textEdited, this,
                [this](const QString& t) { state_.FileInfo = t.toStdString(); });
        connect(ok, &QPushButton::clicked, this, [this] {
            state_.FileInfo = fileInfoEdit_->text().toStdString();
            run(InfoOkClick);
        });
        connect(cancel, &QPushButton::clicked, this, [this] { run(InfoCancelClick); });
    }

    auto textPanel = [&](const char* name, const char* memoName, const char* buttonName,
                         const std::vector<std::string>& lines, QFrame*& panel) {
        panel = frame(name, 420, 520);
        auto* l = new QVBoxLayout(panel);
        auto* text = new QPlainTextEdit(panel);
        text->setObjectName(memoName);
        text->setReadOnly(true);
        QStringList all;
        for (const auto& line : lines) all << QString::fromStdString(line);
        text->setPlainText(all.join('\n'));
        l->addWidget(text);
        auto* close = new QPushButton("close", panel);
        close->setObjectName(buttonName);
        l->addWidget(close, 0, Qt::AlignHCenter);
        return close;
    };
    QPushButton* closeHelp = textPanel("HelpPanel", "HelpMemo", "CloseHelp", HelpLines, helpPanel_);
    connect(closeHelp, &QPushButton::clicked, this, [this] { run(CloseHelpClick); });
    QPushButton* closeAbout = textPanel("AboutPanel", "MemoAbout", "CloseAbout", AboutLines, aboutPanel_);
    aboutPanel_->resize(420, 320);
    connect(closeAbout, &QPushButton::clicked, this, [this] { run(CloseAboutClick); });
    aboutPanel_->installEventFilter(this);
}

QWidget* MainWindow::overlay(Overlay which) const {
    switch (which) {
        case Overlay::Info: return infoPanel_;
        case Overlay::Help: return helpPanel_;
        case Overlay::About: return aboutPanel_;
        case Overlay::Memo: return memo_;
        case Overlay::MarkStatistics: return markStatistics_;
        case Overlay::Import: return import_ ? import_->window() : nullptr;
    }
    return nullptr;
}

}  // namespace vk
