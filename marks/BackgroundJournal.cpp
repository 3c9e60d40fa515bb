#include "marks/BackgroundJournal.h"

#include <utility>

namespace vk {

BackgroundJournal::BackgroundJournal() : thread_([this] { run(); }) {}

BackgroundJournal::~BackgroundJournal() {
    {
        std::unique_lock lock(mutex_);
        pending_.reset();
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void BackgroundJournal::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || pending_.has_value(); });
        if (stop_) return;
        const JournalSnapshot j = std::move(*pending_);
        pending_.reset();
        busy_ = true;
        lock.unlock();
        auto failed = writer_.write(j);
        lock.lock();
        busy_ = false;
        appended_ = writer_.appended();
        // A failed entry is tried again at the next offer, so that the
        // journal goes on once the disk has room again.
        if (failed) due_ = true;
        outcome_ = failed ? std::move(*failed) : std::string();
        idle_.notify_all();
    }
}

bool BackgroundJournal::offer(SessionState& s, int64_t now) {
    CountChanges(s);
    const uint64_t tally = s.MarksChanged.assignments() + s.ConnectionsChanged.assignments();
    {
        std::lock_guard lock(mutex_);
        if (!due_ && tally == offered_) return false;
    }
    std::optional<JournalSnapshot> j = JournalSnapshotOf(s, now);
    if (!j) {
        // Nothing is unsaved any more without a save (the connections were
        // read back from their own file): neither is the journal written.
        if (!handedOver_.empty() && handedOver_ == s.MarkFileName) {
            settle();
            RemoveJournal(s);
        }
        handedOver_.clear();
        offered_ = tally;
        return false;
    }
    handedOver_ = j->markFileName;
    {
        std::lock_guard lock(mutex_);
        pending_ = std::move(j);
        due_ = false;
    }
    offered_ = tally;
    wake_.notify_one();
    return true;
}

void BackgroundJournal::settle() {
    std::unique_lock lock(mutex_);
    pending_.reset();
    idle_.wait(lock, [this] { return !busy_; });
    // The journal may go now: the next entry opens it again.
    writer_.close();
    due_ = true;
    handedOver_.clear();
}

void BackgroundJournal::flush() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !busy_ && !pending_; });
}

std::optional<std::string> BackgroundJournal::outcome() {
    std::lock_guard lock(mutex_);
    return std::exchange(outcome_, std::nullopt);
}

int BackgroundJournal::appended() {
    std::lock_guard lock(mutex_);
    return appended_;
}

}  // namespace vk
