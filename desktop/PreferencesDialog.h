// The preferences dialog (window PrefF): six tab pages built from the
// settings table of shell/Preferences and a table of where each control and
// label sits. Filling, reading back and the stop at a bad field are the
// table's; this class only moves texts between it and the controls.
#pragma once

#include <QObject>
#include <functional>
#include <vector>

#include "session/Context.h"

class QDialog;
class QTabWidget;
class QWidget;

namespace vk {

class PreferencesDialog : public QObject {
public:
    using Runner = std::function<void(const std::function<void(Ctx&)>&)>;
    PreferencesDialog(QDialog* window, Runner run);

    // General > "Preferences ...": fills every control and shows the window.
    void open(SessionState& s);
    // "OK": reads every control back; the window stays open at a bad field.
    void ok();

    QTabWidget* tabs() const { return tabs_; }
    // The control of field i of the settings table.
    QWidget* control(size_t i) const { return controls_[i]; }

private:
    std::vector<std::string> texts() const;

    QDialog* window_;
    Runner run_;
    QTabWidget* tabs_ = nullptr;
    std::vector<QWidget*> controls_;
};

}  // namespace vk
