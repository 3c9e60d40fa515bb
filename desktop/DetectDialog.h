// Electrograms > "Detect Activations...": the detector's parameters, each
// "auto" by default with the value it resolves to on the trace under the
// cursor, the channels and Replace; OK runs the detector with the progress
// panel and keeps the run as one step for "Undo Detection".
#pragma once

#include <QDialog>

#include "electrograms/Detector.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;

namespace vk {

class DetectDialog : public QDialog {
    Q_OBJECT
public:
    explicit DetectDialog(QWidget* parent);

    // Shows the dialog; on OK runs the detector on the session and redraws.
    void open(Ctx& ctx);
    // "Undo Detection": the last run taken back while the marks are as it
    // left them; a beep otherwise.
    void undo(Ctx& ctx);

    // The options as the dialog's fields give them; an empty string, or the
    // reason they are not valid for the session.
    std::string options(const SessionState& s, DetectOptions& out) const;

private:
    void showResolved(const SessionState& s);

    QLineEdit* channels_;
    QComboBox* type_;
    QComboBox* polarity_;
    QDoubleSpinBox *rhythmLow_, *rhythmHigh_, *bandLow_, *bandHigh_, *interval_, *threshold_;
    QLabel* resolved_;
    QLabel* problem_;
    QCheckBox* replace_;
    DetectionUndo undo_;
};

}  // namespace vk
