// The Host the main window gives its commands: the questions go to the
// dialog host, the progress panel, overlays and redraw notices are answered
// by the window itself. Only MainWindow.cpp includes this.
#pragma once

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <algorithm>

#include "desktop/ImportWindow.h"
#include "desktop/MainWindow.h"

namespace vk {

class MainWindow::WindowHost : public Host {
public:
    WindowHost(MainWindow& w, Host& dialogs) : w_(w), d_(dialogs) {}

    void beep() override { d_.beep(); }
    std::optional<std::string> inputBox(const std::string& c, const std::string& p, const std::string& v) override {
        return d_.inputBox(c, p, v);
    }
    void information(const std::string& text) override { d_.information(text); }
    void warning(const std::string& text) override { d_.warning(text); }
    void message(const std::string& title, const std::string& text) override { d_.message(title, text); }
    Answer askYesNoCancel(const std::string& text) override { return d_.askYesNoCancel(text); }
    Answer askYesNo(const std::string& text) override { return d_.askYesNo(text); }
    void error(const std::string& text) override { d_.error(text); }
    std::optional<FileChoice> openFile(const std::string& t, const std::vector<FileFilter>& f, int sel,
                                       const std::string& dir) override {
        return d_.openFile(t, f, sel, dir);
    }
    std::optional<FileChoice> saveFile(const std::string& t, const std::vector<FileFilter>& f,
                                       const std::string& name) override {
        return d_.saveFile(t, f, name);
    }
    std::optional<std::string> chooseFolder(const std::string& t) override { return d_.chooseFolder(t); }

    void showProgress(const std::string& caption, const std::string& fileName, const std::string& matrixName,
                      int maximum) override {
        w_.messageCaption_->setText(QString::fromStdString(caption));
        w_.inputFileName_->setText(QString::fromStdString(fileName));
        w_.inputMatrixName_->setText(QString::fromStdString(matrixName));
        // A long file name widens the panel so that it stays readable.
        const int textWidth = w_.inputFileName_->fontMetrics().horizontalAdvance(w_.inputFileName_->text());
        if (textWidth + 30 > w_.messagePanel_->width()) w_.messagePanel_->resize(textWidth + 30, w_.messagePanel_->height());
        w_.progress_->setRange(0, maximum);
        w_.progress_->setValue(0);
        w_.placeOverlay(w_.messagePanel_);
        w_.messagePanel_->show();
        w_.messagePanel_->raise();
        d_.showProgress(caption, fileName, matrixName, maximum);
    }
    void setProgressCaption(const std::string& caption) override {
        w_.messageCaption_->setText(QString::fromStdString(caption));
        d_.setProgressCaption(caption);
    }
    void stepProgress() override {
        w_.progress_->setValue(std::min(w_.progress_->maximum(), w_.progress_->value() + 1));
        d_.stepProgress();
    }
    void setProgressDetail(const std::string& text) override {
        w_.progressDetail_->setText(QString::fromStdString(text));
        d_.setProgressDetail(text);
    }
    void hideProgress() override {
        w_.progressDetail_->clear();
        w_.messagePanel_->hide();
        d_.hideProgress();
    }
    void processMessages() override {
        // No journal entry while a command is half-way.
        ++w_.eventsNested_;
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        --w_.eventsNested_;
        d_.processMessages();
    }
    void displayUpdated() override {
        w_.syncFromState();
        d_.displayUpdated();
    }
    void showOverlay(Overlay which, bool shown) override {
        if (which == Overlay::MarkStatistics) {
            if (shown) w_.fillMarkStatistics();
            w_.markStatistics_->setVisible(shown);
        } else if (which == Overlay::Import) {
            w_.import_->sync(shown);
        } else if (which == Overlay::Memo) {
            w_.memo_->setVisible(shown);
        } else if (QWidget* o = w_.overlay(which)) {
            if (which == Overlay::Info) w_.fileInfoEdit_->setText(QString::fromStdString(w_.state_.FileInfo));
            w_.placeOverlay(o);
            o->setVisible(shown);
            if (shown) o->raise();
        }
        d_.showOverlay(which, shown);
    }
    void closeMainWindow() override {
        w_.quitApproved_ = true;
        d_.closeMainWindow();
        w_.close();
    }

private:
    MainWindow& w_;
    Host& d_;
};

}  // namespace vk
