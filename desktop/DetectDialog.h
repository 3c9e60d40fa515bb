// Electrograms > "Detect Activations...": the detector's parameters, each
// "auto" by default with the value it resolves to on the trace under the
// cursor, the channels, Replace and a preview of the detections on the first
// trace of panel A that follows every change; OK runs the detector with the
// progress panel (a Cancel button there, or Esc, stops it and puts the marks
// back as they were) and keeps the run as one step for "Undo Detection".
#pragma once

#include <QDialog>

#include "electrograms/Detector.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace vk {

class DetectPreview;

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

    // The trace under the preview: the first trace of panel A that shows a
    // channel of the recording.
    static int PreviewChannel(const SessionState& s);

protected:
    // During a run only the Cancel button and Esc reach the program.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showResolved(const SessionState& s);
    void showPreview(const SessionState& s);
    // Runs the detector with the progress panel; false when cancelled.
    bool run(Ctx& ctx, const DetectOptions& o);

    QLineEdit* channels_;
    QComboBox* type_;
    QComboBox* polarity_;
    QDoubleSpinBox *rhythmLow_, *rhythmHigh_, *bandLow_, *bandHigh_, *interval_, *threshold_;
    QLabel* resolved_;
    QLabel* problem_;
    QCheckBox* replace_;
    DetectPreview* preview_;
    QTimer* previewTimer_;
    const SessionState* session_ = nullptr;  // while the dialog is shown
    QPushButton* cancel_ = nullptr;          // while a run is going
    bool cancelRequested_ = false;
    DetectionUndo undo_;
};

}  // namespace vk
