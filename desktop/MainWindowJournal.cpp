// The journal of unsaved mark changes while a recording is open: a timer
// offers the session twice a second, and when the marks or connections
// changed since the last offer a copy of them goes to the journal's own
// thread, which writes and flushes it. A click costs nothing more than
// before; the timer's share is the copy, only after a change.
#include <QApplication>
#include <QTimer>
#include <ctime>

#include "desktop/MainWindow.h"
#include "marks/BackgroundJournal.h"

namespace vk {

namespace {
// Entries are written at most this long after a change (ms).
constexpr int JournalInterval = 500;
}  // namespace

void MainWindow::startJournal() {
    journal_ = std::make_unique<BackgroundJournal>();
    state_.SettleJournal = [this] { journal_->settle(); };
    auto* timer = new QTimer(this);
    timer->setInterval(JournalInterval);
    connect(timer, &QTimer::timeout, this, [this] {
        // Not while a command is at work or a question is open: the session
        // may be half-way from one recording to the next. Nor once the
        // program ends: the user chose what becomes of the changes.
        if (quitApproved_ || eventsNested_ > 0 || QApplication::activeModalWidget() != nullptr) return;
        journalChanges();
    });
    timer->start();
}

void MainWindow::stopJournal() {
    state_.SettleJournal = nullptr;
    journal_.reset();
}

void MainWindow::journalChanges() {
    journal_->offer(state_, static_cast<int64_t>(std::time(nullptr)));
    reportJournal();
}

void MainWindow::waitForJournal() {
    journal_->flush();
    reportJournal();
}

void MainWindow::reportJournal() {
    const auto outcome = journal_->outcome();
    if (!outcome) return;
    if (outcome->empty()) {
        journalFailing_ = false;
        return;
    }
    if (journalFailing_) return;
    journalFailing_ = true;
    state_.Memo1.push_back("changes are not being journaled: " + *outcome);
    syncFromState();
}

}  // namespace vk
