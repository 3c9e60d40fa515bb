// The dialogs of the Host seam with Qt: beep, message boxes, input boxes and
// file dialogs. The window-related calls of Host are answered by the main
// window itself (see MainWindow), so they stay quiet here.
#pragma once

#include <QWidget>
#include <memory>

class QFileDialog;
class QInputDialog;

#include "session/Host.h"

namespace vk {

class QtDialogs : public QuietHost {
public:
    explicit QtDialogs(QWidget* parent) : parent_(parent) {}

    void beep() override;
    std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& value) override;
    void information(const std::string& text) override;
    void warning(const std::string& text) override;
    void message(const std::string& title, const std::string& text) override;
    Answer askYesNoCancel(const std::string& text) override;
    Answer askYesNo(const std::string& text) override;
    void error(const std::string& text) override;
    std::optional<FileChoice> openFile(const std::string& title, const std::vector<FileFilter>& filters,
                                       int selectedFilter, const std::string& initialDir) override;
    std::optional<FileChoice> saveFile(const std::string& title, const std::vector<FileFilter>& filters,
                                       const std::string& proposedName) override;
    std::optional<std::string> chooseFolder(const std::string& title) override;

    // The Qt filter string of a filter ("E00 files (*.E** *.e**)"); upper-case
    // patterns also accept lower case, since file names here are case-sensitive.
    static QString filterString(const FileFilter& f);

    // The one-line input box, sized so that its caption and prompt show whole.
    static std::unique_ptr<QInputDialog> makeInputBox(QWidget* parent, const QString& caption, const QString& prompt,
                                                      const QString& value);
    // What a window manager's title bar takes besides the caption: the
    // window icon, three buttons and the frame, in pixels.
    static constexpr int TitleBarExtras = 130;

    // The parent of the next box: the active window of the program, else
    // the main window.
    QWidget* owner() const;

private:
    static void fitFileDialog(QFileDialog& d);
    QWidget* parent_;
};

}  // namespace vk
