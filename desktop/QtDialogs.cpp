#include "desktop/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QInputDialog>
#include <QScreen>
#include <QSplitter>
#include <QTreeView>
#include <algorithm>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

namespace vk {

void QtDialogs::beep() { QApplication::beep(); }

QWidget* QtDialogs::owner() const {
    // The window the user is working in: a box parented to it opens above
    // it, also when that window stays on top of the main one.
    if (QWidget* active = QApplication::activeWindow()) return active;
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return parent_;
}

std::unique_ptr<QInputDialog> QtDialogs::makeInputBox(QWidget* parent, const QString& caption, const QString& prompt,
                                                      const QString& value) {
    auto d = std::make_unique<QInputDialog>(parent);
    d->setInputMode(QInputDialog::TextInput);
    d->setWindowTitle(caption);
    d->setLabelText(prompt);
    d->setTextValue(value);
    // Wide enough for the whole caption in the window's title bar (drawn
    // in bold by most window managers, beside an icon and three buttons)
    // and for the whole prompt.
    QFont bold = d->font();
    bold.setBold(true);
    const int titleWidth = QFontMetrics(bold).horizontalAdvance(caption) + TitleBarExtras;
    const int promptWidth = d->fontMetrics().horizontalAdvance(prompt) + 40;
    d->resize(std::max({d->sizeHint().width(), titleWidth, promptWidth}), d->sizeHint().height());
    return d;
}

std::optional<std::string> QtDialogs::inputBox(const std::string& caption, const std::string& prompt,
                                               const std::string& value) {
    const auto d = makeInputBox(owner(), QString::fromStdString(caption), QString::fromStdString(prompt),
                                QString::fromStdString(value));
    if (d->exec() != QDialog::Accepted) return std::nullopt;
    return d->textValue().toStdString();
}

void QtDialogs::information(const std::string& text) {
    QMessageBox::information(owner(), QApplication::applicationName(), QString::fromStdString(text));
}

void QtDialogs::message(const std::string& title, const std::string& text) {
    QMessageBox::warning(owner(), QString::fromStdString(title), QString::fromStdString(text));
}

void QtDialogs::warning(const std::string& text) {
    QMessageBox::warning(owner(), QApplication::applicationName(), QString::fromStdString(text));
}

Answer QtDialogs::askYesNoCancel(const std::string& text) {
    const auto b = QMessageBox::warning(owner(), QApplication::applicationName(), QString::fromStdString(text),
                                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (b == QMessageBox::Yes) return Answer::Yes;
    if (b == QMessageBox::No) return Answer::No;
    return Answer::Cancel;
}

Answer QtDialogs::askYesNo(const std::string& text) {
    const auto b = QMessageBox::question(owner(), QApplication::applicationName(), QString::fromStdString(text),
                                         QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    return b == QMessageBox::No ? Answer::No : Answer::Yes;
}

void QtDialogs::error(const std::string& text) {
    QMessageBox::critical(owner(), QApplication::applicationName(), QString::fromStdString(text));
}

void QtDialogs::fitFileDialog(QFileDialog& d) {
    // Room for the detail columns and long recording names, within the screen.
    const QRect screen = d.screen() ? d.screen()->availableGeometry() : QRect(0, 0, 1280, 800);
    d.resize(std::min(1200, screen.width() * 8 / 10), std::min(700, screen.height() * 8 / 10));
    // The size, type and date columns as wide as their headers and what they
    // show; the name column takes the rest, and more when a name needs it
    // (the view then scrolls sideways), so that no header or name is cut.
    // The places list wide enough for folder names.
    if (auto* view = d.findChild<QTreeView*>("treeView")) {
        QHeaderView* h = view->header();
        h->setStretchLastSection(false);
        h->setSectionResizeMode(0, QHeaderView::Interactive);
        for (int c = 1; c < h->count(); ++c) h->setSectionResizeMode(c, QHeaderView::ResizeToContents);
        auto fitNames = [view, h] {
            h->resizeSections(QHeaderView::ResizeToContents);
            const int names = h->sectionSize(0);
            int others = 0;
            for (int c = 1; c < h->count(); ++c) others += h->isSectionHidden(c) ? 0 : h->sectionSize(c);
            h->resizeSection(0, std::max(names, view->viewport()->width() - others));
        };
        // Names arrive from the file system after the dialog opens, and
        // the view gets its width when the dialog is laid out.
        if (auto* model = qobject_cast<QFileSystemModel*>(view->model()))
            QObject::connect(model, &QFileSystemModel::directoryLoaded, view,
                             [view, fitNames] { QTimer::singleShot(0, view, fitNames); });
        QTimer::singleShot(0, view, fitNames);
    }
    if (auto* splitter = d.findChild<QSplitter*>("splitter")) splitter->setSizes({170, d.width() - 170});
}

QString QtDialogs::filterString(const FileFilter& f) {
    QStringList patterns = QString::fromStdString(f.patterns).split(' ', Qt::SkipEmptyParts);
    QStringList all = patterns;
    for (const QString& p : patterns) {
        const QString lower = p.toLower();
        if (!all.contains(lower)) all << lower;
    }
    return QString::fromStdString(f.name) + " (" + all.join(' ') + ")";
}

std::optional<FileChoice> QtDialogs::openFile(const std::string& title, const std::vector<FileFilter>& filters,
                                              int selectedFilter, const std::string& initialDir) {
    QStringList list;
    for (const auto& f : filters) list << filterString(f);
    QFileDialog d(owner(), QString::fromStdString(title), QString::fromStdString(initialDir), list.join(";;"));
    d.setFileMode(QFileDialog::ExistingFile);
    if (selectedFilter >= 1 && selectedFilter <= list.size()) d.selectNameFilter(list[selectedFilter - 1]);
    fitFileDialog(d);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
    const QString path = d.selectedFiles().constFirst();
    const QString selected = d.selectedNameFilter();
    FileChoice choice;
    choice.path = path.toStdString();
    choice.filterIndex = static_cast<int>(list.indexOf(selected)) + 1;
    if (choice.filterIndex < 1) choice.filterIndex = 1;
    return choice;
}

std::optional<FileChoice> QtDialogs::saveFile(const std::string& title, const std::vector<FileFilter>& filters,
                                              const std::string& proposedName) {
    QStringList list;
    for (const auto& f : filters) list << filterString(f);
    QFileDialog d(owner(), QString::fromStdString(title), QString(), list.join(";;"));
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setFileMode(QFileDialog::AnyFile);
    if (!proposedName.empty()) d.selectFile(QString::fromStdString(proposedName));
    fitFileDialog(d);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
    FileChoice choice;
    choice.path = d.selectedFiles().constFirst().toStdString();
    choice.filterIndex = std::max(1, static_cast<int>(list.indexOf(d.selectedNameFilter())) + 1);
    return choice;
}

std::optional<std::string> QtDialogs::chooseFolder(const std::string& title) {
    QFileDialog d(owner(), QString::fromStdString(title));
    d.setFileMode(QFileDialog::Directory);
    d.setOption(QFileDialog::ShowDirsOnly, true);
    fitFileDialog(d);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
    return d.selectedFiles().constFirst().toStdString();
}

}  // namespace vk
