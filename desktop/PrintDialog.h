// The print window "Print Menu" (window PrintForm): which panel, the paper
// orientation, the caption and whether the traces are left out; "OK" prints
// one page on the chosen printer. The page layout and the printed panels
// live in printing/; this window only gathers the choices and owns the
// printer ("Print dialog ..." chooses it, a PDF file included).
#pragma once

#include <QObject>
#include <array>
#include <functional>
#include <memory>

#include "desktop/PrinterPage.h"
#include "printing/PrintPage.h"

class QButtonGroup;
class QCheckBox;
class QDialog;
class QGroupBox;
class QLineEdit;
class QPrinter;

namespace vk {

class PrintDialog : public QObject {
public:
    using Runner = std::function<void(const std::function<void(Ctx&)>&)>;
    PrintDialog(QDialog* window, Runner run);
    ~PrintDialog() override;

    // "Print": fills the window from the session and shows it.
    void open(const SessionState& s);
    // "Print dialog ...": the platform's printer dialog; when confirmed the
    // print window is shown with its current settings.
    void choosePrinter();

    QPrinter& printer() { return *printer_; }
    // The panel group shown: 0 for the rectangular tiling, 1 for the square one.
    QGroupBox* panelGroup(int i) const { return panelBoxes_[static_cast<size_t>(i)]; }
    QButtonGroup* orientation() const { return orientation_; }
    QLineEdit* captionEdit() const { return caption_; }
    QCheckBox* onlyMarksBox() const { return onlyMarks_; }
    // The choices as the window shows them now.
    PrintChoice choice() const;

private:
    void ok();

    QDialog* window_;
    Runner run_;
    std::unique_ptr<QPrinter> printer_;
    std::string chosenPdf_;  // the PDF file picked in "Print dialog ...", if any
    std::array<QGroupBox*, 2> panelBoxes_{};
    size_t shown_ = 0;
    std::array<QButtonGroup*, 2> panelGroups_{};
    QButtonGroup* orientation_ = nullptr;
    QLineEdit* caption_ = nullptr;
    QCheckBox* onlyMarks_ = nullptr;
};

}  // namespace vk
