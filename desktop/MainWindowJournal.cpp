// The journal of unsaved mark changes while a recording is open: a timer
// looks twice a second whether the marks or connections changed since the
// last entry and appends one, so a click costs nothing more than before.
#include <QApplication>
#include <QTimer>
#include <ctime>

#include "desktop/MainWindow.h"
#include "marks/Journal.h"

namespace vk {

namespace {
// Entries are written at most this long after a change (ms).
constexpr int JournalInterval = 500;
}  // namespace

void MainWindow::startJournal() {
    journal_ = std::make_unique<JournalWriter>();
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

void MainWindow::journalChanges() {
    const auto failed = journal_->update(state_, static_cast<int64_t>(std::time(nullptr)));
    if (!failed) {
        journalFailing_ = false;
        return;
    }
    if (journalFailing_) return;
    journalFailing_ = true;
    state_.Memo1.push_back("changes are not being journaled: " + *failed);
    syncFromState();
}

}  // namespace vk
