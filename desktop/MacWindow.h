// The window "CopyToMac" (MacForm): which of panel A's pictures goes into the
// drawing file, with OK and Cancel. It stays above the other windows. The
// file itself is made in exchange/MacExport.
#pragma once

#include <functional>

#include "session/Context.h"

class QButtonGroup;
class QDialog;

namespace vk {

class MacWindow {
public:
    using Runner = std::function<void(const std::function<void(Ctx&)>&)>;
    MacWindow(QDialog* window, Runner run);

    // "to Mac": shows the window.
    void open();
    QDialog* window() const { return window_; }
    QButtonGroup* choices() const { return choices_; }

private:
    QDialog* window_;
    QButtonGroup* choices_;
};

}  // namespace vk
