// A flag of unsaved changes (the marks', the connections') that also tallies
// every time it is set. Whoever keeps a record of the changes, the journal
// of unsaved changes, tells from the tally that something changed, whatever
// command changed it, without each command having to say so.
#pragma once

#include <cstdint>

namespace vk {

class ChangeFlag {
public:
    ChangeFlag() = default;
    ChangeFlag(const ChangeFlag&) = default;
    // Setting the flag counts, also when it was set already.
    ChangeFlag& operator=(bool on) {
        on_ = on;
        if (on) ++sets_;
        ++assignments_;
        return *this;
    }
    // One flag given the value of another takes its truth, not its tally.
    ChangeFlag& operator=(const ChangeFlag& other) { return *this = other.on_; }
    operator bool() const { return on_; }
    // How often the flag was set since the program started.
    uint64_t sets() const { return sets_; }
    // How often it was given a value, cleared too: connections read back
    // from their file clear the flag and change the table all the same.
    uint64_t assignments() const { return assignments_; }

private:
    bool on_ = false;
    uint64_t sets_ = 0, assignments_ = 0;
};

}  // namespace vk
