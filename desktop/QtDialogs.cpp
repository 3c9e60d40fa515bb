#include "desktop/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHeaderView>
#include <QInputDialog>
#include <QScreen>
#include <QSplitter>
#include <QTreeView>
#include <algorithm>
#include <QMessageBox>
#include <QStringList>

namespace vk {

void QtDialogs::beep() { QApplication::beep(); }

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
    const auto d = makeInputBox(parent_, QString::fromStdString(caption), QString::fromStdString(prompt),
                                QString::fromStdString(value));
    if (d->exec() != QDialog::Accepted) return std::nullopt;
    return d->textValue().toStdString();
}

void QtDialogs::information(const std::string& text) {
    QMessageBox::information(parent_, QApplication::applicationName(), QString::fromStdString(text));
}

void QtDialogs::message(const std::string& title, const std::string& text) {
    QMessageBox::warning(parent_, QString::fromStdString(title), QString::fromStdString(text));
}

void QtDialogs::warning(const std::string& text) {
    QMessageBox::warning(parent_, QApplication::applicationName(), QString::fromStdString(text));
}

Answer QtDialogs::askYesNoCancel(const std::string& text) {
    const auto b = QMessageBox::warning(parent_, QApplication::applicationName(), QString::fromStdString(text),
                                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (b == QMessageBox::Yes) return Answer::Yes;
    if (b == QMessageBox::No) return Answer::No;
    return Answer::Cancel;
}

void QtDialogs::error(const std::string& text) {
    QMessageBox::critical(parent_, QApplication::applicationName(), QString::fromStdString(text));
}

void QtDialogs::fitFileDialog(QFileDialog& d) {
    // Room for the detail columns, within the screen.
    const QRect screen = d.screen() ? d.screen()->availableGeometry() : QRect(0, 0, 1280, 800);
    d.resize(std::min(900, screen.width() * 9 / 10), std::min(520, screen.height() * 8 / 10));
    // The size, type and date columns as wide as what they show, the name
    // column taking the rest; the places list wide enough for folder names.
    if (auto* view = d.findChild<QTreeView*>("treeView")) {
        QHeaderView* h = view->header();
        h->setStretchLastSection(false);
        h->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int c = 1; c < h->count(); ++c) h->setSectionResizeMode(c, QHeaderView::ResizeToContents);
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
    QFileDialog d(parent_, QString::fromStdString(title), QString::fromStdString(initialDir), list.join(";;"));
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
    QFileDialog d(parent_, QString::fromStdString(title), QString(), list.join(";;"));
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

}  // namespace vk
