#include "desktop/PrintDialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "session/Ask.h"
#include "session/Draw.h"

namespace vk {

namespace {

// A group of radio buttons: its caption, object name and items.
struct RadioGroupDef {
    const char* caption;
    const char* name;
    std::array<const char*, 3> items;
};
constexpr RadioGroupDef PanelGroups[] = {
    {"Panel to print:", "RadioGroupRectangle", {"Print Top Panel", "Print Bottom Panel", "Print Both Panels"}},
    {"Panel to print:", "RadioGroupSquare", {"Print Left Panel", "Print Right Panel", "Print Both Panels"}},
};
constexpr RadioGroupDef OrientationGroup = {"Paper Orientation:", "OrientationGroup", {"Landscape", "Portrait", nullptr}};

QButtonGroup* radioGroup(QDialog* window, const RadioGroupDef& def, QGroupBox*& box) {
    box = new QGroupBox(def.caption, window);
    box->setObjectName(def.name);
    auto* layout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(box);
    for (int i = 0; i < 3 && def.items[static_cast<size_t>(i)]; ++i) {
        auto* b = new QRadioButton(def.items[static_cast<size_t>(i)], box);
        layout->addWidget(b);
        group->addButton(b, i);
    }
    return group;
}

}  // namespace

PrintDialog::PrintDialog(QDialog* window, Runner run)
    : QObject(window), window_(window), run_(std::move(run)), printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    SetUpPrinter(*printer_);
    window_->setWindowTitle("Print Menu");
    window_->setWindowFlag(Qt::WindowStaysOnTopHint);
    auto* grid = new QGridLayout(window_);
    for (size_t i = 0; i < panelBoxes_.size(); ++i) {
        panelGroups_[i] = radioGroup(window_, PanelGroups[i], panelBoxes_[i]);
        grid->addWidget(panelBoxes_[i], 0, 0);
    }
    QGroupBox* orientationBox = nullptr;
    orientation_ = radioGroup(window_, OrientationGroup, orientationBox);
    grid->addWidget(orientationBox, 0, 1);
    grid->addWidget(new QLabel("Caption:", window_), 1, 0, 1, 2);
    caption_ = new QLineEdit(window_);
    caption_->setObjectName("EditCaption");
    caption_->setMinimumWidth(360);
    grid->addWidget(caption_, 2, 0, 1, 2);
    onlyMarks_ = new QCheckBox("Do not print electrograms?", window_);
    onlyMarks_->setObjectName("CheckPrintOnlyMarks");
    grid->addWidget(onlyMarks_, 3, 0, 1, 2);
    auto* okButton = new QPushButton("OK", window_);
    auto* cancelButton = new QPushButton("Cancel", window_);
    okButton->setObjectName("OkButton");
    cancelButton->setObjectName("CancelButton");
    okButton->setDefault(true);
    grid->addWidget(okButton, 4, 0);
    grid->addWidget(cancelButton, 4, 1);
    connect(okButton, &QPushButton::clicked, this, [this] { ok(); });
    // "Cancel", Escape and the window frame's close hide the window and redraw.
    connect(cancelButton, &QPushButton::clicked, window_, &QDialog::reject);
    connect(window_, &QDialog::rejected, this, [this] { run_([](Ctx& c) { UpdateDisplay(c); }); });
}

PrintDialog::~PrintDialog() = default;

void PrintDialog::open(const SessionState& s) {
    const PrintChoice c = PrintChoiceOf(s);
    shown_ = s.TileRectangle ? 0 : 1;
    for (size_t i = 0; i < panelBoxes_.size(); ++i) panelBoxes_[i]->setVisible(i == shown_);
    panelGroups_[shown_]->button(c.panels)->setChecked(true);
    orientation_->button(c.orientation == 1 ? 1 : 0)->setChecked(true);
    caption_->setText(QString::fromStdString(c.caption));
    onlyMarks_->setChecked(c.onlyMarks);
    window_->show();
    window_->raise();
}

PrintChoice PrintDialog::choice() const {
    PrintChoice c;
    c.panels = std::max(0, panelGroups_[shown_]->checkedId());
    c.orientation = std::max(0, orientation_->checkedId());
    c.onlyMarks = onlyMarks_->isChecked();
    c.caption = caption_->text().toStdString();
    return c;
}

void PrintDialog::ok() {
    const PrintChoice c = choice();
    run_([&](Ctx& ctx) {
        ApplyPrintChoice(ctx.s, c);
        // Without a printer Qt prints to a PDF file: the one chosen, else one beside this recording.
        if (printer_->outputFormat() == QPrinter::PdfFormat) {
            std::string file;
            if (!runCommand(ctx, [&] { file = PrintPdfFile(ctx.s, chosenPdf_); })) return UpdateDisplay(ctx);
            printer_->setOutputFileName(QString::fromStdString(file));
        }
        if (!PrintOnPrinter(ctx, *printer_)) {
            ctx.host.error("The page could not be printed on " + printer_->printerName().toStdString() + " " +
                           printer_->outputFileName().toStdString());
            UpdateDisplay(ctx);
        }
    });
    window_->hide();
}

void PrintDialog::choosePrinter() {
    // Above the window the user works in, as every other box.
    QWidget* active = QApplication::activeWindow();
    QPrintDialog dialog(printer_.get(), active ? active : window_->parentWidget());
    if (dialog.exec() == QDialog::Accepted) {
        SetUpPrinter(*printer_);
        chosenPdf_ = printer_->outputFormat() == QPrinter::PdfFormat ? printer_->outputFileName().toStdString() : "";
        window_->show();
        window_->raise();
    }
    run_([](Ctx& c) { UpdateDisplay(c); });
}

}  // namespace vk
