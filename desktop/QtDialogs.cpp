#include "desktop/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

namespace vk {

void QtDialogs::beep() { QApplication::beep(); }

std::optional<std::string> QtDialogs::inputBox(const std::string& caption, const std::string& prompt,
                                               const std::string& value) {
    bool ok = false;
    const QString text = QInputDialog::getText(parent_, QString::fromStdString(caption), QString::fromStdString(prompt),
                                               QLineEdit::Normal, QString::fromStdString(value), &ok);
    if (!ok) return std::nullopt;
    return text.toStdString();
}

void QtDialogs::information(const std::string& text) {
    QMessageBox::information(parent_, QApplication::applicationName(), QString::fromStdString(text));
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
    QString selected = selectedFilter >= 1 && selectedFilter <= list.size() ? list[selectedFilter - 1] : QString();
    const QString path = QFileDialog::getOpenFileName(parent_, QString::fromStdString(title),
                                                      QString::fromStdString(initialDir), list.join(";;"), &selected);
    if (path.isEmpty()) return std::nullopt;
    FileChoice choice;
    choice.path = path.toStdString();
    choice.filterIndex = static_cast<int>(list.indexOf(selected)) + 1;
    if (choice.filterIndex < 1) choice.filterIndex = 1;
    return choice;
}

}  // namespace vk
