// The journal of unsaved mark changes written on a thread of its own, so
// that a full mark table (a write and a flush to disk of tens of
// milliseconds) never holds up marking. Between the user's actions the
// window offers the session: only when something changed since the last
// offer are the tables copied, and the copy is handed to the worker, which
// replaces a copy it has not begun with the newer one.
//
// Whatever writes the mark file or removes the journal settles it first
// (SessionState::SettleJournal): the copy not begun is dropped and the entry
// being written is waited for, so that no entry is written after the save
// that removes the journal, and no journal is left behind or made again.
#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "marks/Journal.h"

namespace vk {

class BackgroundJournal {
public:
    BackgroundJournal();
    BackgroundJournal(const BackgroundJournal&) = delete;
    BackgroundJournal& operator=(const BackgroundJournal&) = delete;
    // Drops what was not begun and waits for the entry being written.
    ~BackgroundJournal();

    // Counts the changes (CountChanges) and hands the worker a copy of the
    // tables when the session has unsaved changes and a change flag was
    // given a value since the last copy, or when the last entry failed or
    // the journal was settled since.
    // Returns true when a copy was handed over.
    bool offer(SessionState& s, int64_t now);
    void settle();
    // Waits until everything handed over was written (tests, benchmarks).
    void flush();
    // What the entries written since the last call came to: nothing, an
    // empty text when they were written, or why the last one was not.
    std::optional<std::string> outcome();
    int appended();

private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::optional<JournalSnapshot> pending_;
    bool busy_ = false, stop_ = false;
    bool due_ = true;  // the next offer hands a copy over even without a new change
    std::optional<std::string> outcome_;
    JournalWriter writer_;  // the worker's, or the caller's while it is idle
    int appended_ = 0;
    std::string handedOver_;  // the mark file of the copies handed over since the last settling (window thread only)
    uint64_t offered_ = 0;  // the assignments of the change flags at the last copy (window thread only)
    std::thread thread_;
};

}  // namespace vk
