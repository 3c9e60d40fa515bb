// Which time window the commands on "the electrograms shown" read.
//
// BeginTime and WindowTime are the window of the panel drawn last; with the
// panels tiled that can be a map in panel B, whose window has nothing to do
// with the traces on screen. The automatic marker, the electrogram exports
// and "Spike Stats" therefore take the window of the panel that shows
// electrograms: A when it does (also when B does too), B when only B does,
// and A when neither does.
#pragma once

#include "session/SessionState.h"

namespace vk {

// 1 (A) or 2 (B) by the rule above.
inline int ElectrogramPanel(const SessionState& s) {
    return s.DisplayTypeA != 1 && s.Tiled && s.DisplayTypeB == 1 ? 2 : 1;
}

// For its lifetime BeginTime and WindowTime hold the window of the
// electrogram panel; the copies of the panel drawn last come back after.
class ElectrogramWindow {
public:
    explicit ElectrogramWindow(SessionState& s) : s_(s), begin_(s.BeginTime), window_(s.WindowTime) {
        const bool b = ElectrogramPanel(s) == 2;
        s.BeginTime = b ? s.BeginTimeB : s.BeginTimeA;
        s.WindowTime = b ? s.WindowB : s.WindowA;
    }
    ~ElectrogramWindow() {
        s_.BeginTime = begin_;
        s_.WindowTime = window_;
    }
    ElectrogramWindow(const ElectrogramWindow&) = delete;
    ElectrogramWindow& operator=(const ElectrogramWindow&) = delete;

private:
    SessionState& s_;
    int32_t begin_, window_;
};

}  // namespace vk
