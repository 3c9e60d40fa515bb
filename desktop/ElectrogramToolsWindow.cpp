#include "desktop/ElectrogramToolsWindow.h"

#include <QDialog>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <optional>

#include "electrograms/SpikeStats.h"
#include "session/Ask.h"
#include "session/Draw.h"

namespace vk {

namespace {

// The memo takes the window's width, the buttons sit below it, so that the
// widest line of the spike table shows whole in a font of equal widths.
constexpr int ClientWidth = 614, ClientHeight = 489;
constexpr int MemoLeft = 20, MemoTop = 20, MemoWidth = ClientWidth - 2 * MemoLeft, MemoHeight = 405;
constexpr int ButtonTop = MemoTop + MemoHeight + 14, ButtonWidth = 130;

}  // namespace

ElectrogramToolsWindow::ElectrogramToolsWindow(QDialog* window, Runner run)
    : QObject(window), window_(window), run_(std::move(run)) {
    window_->setWindowTitle("EleF");
    window_->setWindowFlags(window_->windowFlags() | Qt::WindowStaysOnTopHint);
    window_->setFixedSize(ClientWidth, ClientHeight);
    memo_ = new QPlainTextEdit(window_);
    memo_->setObjectName("StatsMemo");
    memo_->setReadOnly(true);
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The table's columns line up only in a font of equal widths.
    memo_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    memo_->setGeometry(MemoLeft, MemoTop, MemoWidth, MemoHeight);
    auto* ok = new QPushButton("Ok", window_);
    ok->setObjectName("OkButton");
    ok->setDefault(true);
    ok->setGeometry(ClientWidth / 2 - ButtonWidth - 10, ButtonTop, ButtonWidth, 30);
    save_ = new QPushButton("save as text", window_);
    save_->setObjectName("Button1");
    save_->setGeometry(ClientWidth / 2 + 10, ButtonTop, ButtonWidth, 30);
    connect(ok, &QPushButton::clicked, this, [this] {
        window_->hide();
        run_([](Ctx& c) { UpdateDisplay(c); });
    });
    // The program's own save dialog: it opens above this window, with whole
    // column headers.
    connect(save_, &QPushButton::clicked, this, [this] {
        std::optional<FileChoice> choice;
        run_([&](Ctx& c) { choice = c.host.saveFile("Save as text", {{"Text files", "*.txt"}, {"All files", "*"}}, ""); });
        if (choice) saveTo(QString::fromStdString(choice->path));
    });
}

void ElectrogramToolsWindow::saveTo(const QString& path) {
    const std::string file = path.toStdString();
    run_([&](Ctx& c) { runCommand(c, [&] { SaveSpikeStats(c.s, file); }); });
}

void ElectrogramToolsWindow::sync(SessionState& s) {
    if (s.StatsMemoRequested) {
        s.StatsMemoRequested = false;
        if (!placed_ && window_->parentWidget()) {
            // First shown at the right of the main window, clear of the maps' left part.
            const QRect main = window_->parentWidget()->geometry();
            window_->move(main.right() - ClientWidth - 30, main.top() + 90);
            placed_ = true;
        }
        window_->show();
        window_->raise();
    }
    if (!window_->isVisible()) return;
    QStringList lines;
    for (const std::string& line : s.StatsMemo) lines << QString::fromStdString(line);
    const QString text = lines.join('\n');
    if (memo_->toPlainText() != text) memo_->setPlainText(text);
}

}  // namespace vk
