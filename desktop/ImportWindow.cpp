#include "desktop/ImportWindow.h"

#include <QDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "input/TextImport.h"
#include "session/Format.h"
#include "session/TextFiles.h"
#include "shell/Commands.h"

namespace vk {

namespace {

struct PanelDef {
    int type;
    const char* name;
    std::array<const char*, 4> edits;  // none for Auckland
    std::array<const char*, 2> warnings;
    const char* ok;
    const char* cancel;
    const char* note;
};
constexpr PanelDef Panels[] = {
    {4, "NashvilleInfoPanel",
     {"NashEditNrChannels", "NashEditNrSamples", "NashEditSamplingRate", "NashEditMatrixName"},
     {"NWarning1", "NWarning2"}, "NashvilleOk", "NashvilleCancel",
     "(don't forget to convert the original files, through Excel, into tab delimited text files)"},
    {5, "AucklandInfoPanel", {}, {"WarningLabel1", "WarningLabel2"}, "AucklandOk", "AucklandCancel", nullptr},
    {6, "ManchesterInfoPanel", {"EditNrChannels", "EditNrSamples", "EditSamplingRate", "EditMatrixName"},
     {"MWarning1", "MWarning2"}, "ManchesterOk", "ManchesterCancel", nullptr},
};
constexpr const char* EditCaptions[] = {"Nr Channels: ", "Nr Samples: ", "Sampling rate: ", "Matrix file name: "};
constexpr const char* AucklandRows[] = {"1. Nr Header Lines: ", "2. Nr Channels: ", "3. Nr Samples: ",
                                        "4. Sampling rate: ",   "5. Calibration: ", "6. Matrix File name: ",
                                        "7. Comments:",         "8. (empty)",       "9. (empty)",
                                        "10. (empty)"};

ImportEdits& editsOf(SessionState& s, int type) { return type == 4 ? s.ImportF.Nashville : s.ImportF.Manchester; }

QString generalFloat(double v) { return QString::fromStdString(GeneralFloat(v)); }

}  // namespace

ImportWindow::ImportWindow(QDialog* window, SessionState& state, Runner run)
    : QObject(window), window_(window), state_(state), run_(std::move(run)) {
    window_->setWindowTitle("ImportF");
    auto* layout = new QVBoxLayout(window_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    for (const PanelDef& d : Panels) {
        build(d.type);
        layout->addWidget(panels_[index(d.type)].frame);
    }
    // Escape and the window frame's close act as the panel's Cancel.
    connect(window_, &QDialog::rejected, this, [this] { run_(ImportCancelClick); });
}

void ImportWindow::build(int type) {
    const PanelDef& d = Panels[index(type)];
    Panel& p = panels_[index(type)];
    p.frame = new QFrame(window_);
    p.frame->setObjectName(d.name);
    p.frame->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(p.frame);
    int row = 0;
    auto addWide = [&](QWidget* w) { grid->addWidget(w, row++, 0, 1, 2); };
    addWide(new QLabel("Import Function: " + QString::fromStdString(ImportFormatLabel(type)), p.frame));
    p.fileName = new QLabel(p.frame);
    QFont bold = p.fileName->font();
    bold.setBold(true);
    p.fileName->setFont(bold);
    addWide(p.fileName);
    p.maximum = new QLabel(p.frame);
    addWide(p.maximum);
    if (type == 5) {
        for (int i = 0; i < 10; ++i) {
            grid->addWidget(new QLabel(AucklandRows[i], p.frame), row, 0);
            if (i < 7) {
                auto* value = new QLabel(p.frame);
                value->setObjectName(QString("AucklandValue%1").arg(i + 1));
                value->setTextInteractionFlags(Qt::TextSelectableByMouse);
                p.values[static_cast<size_t>(i)] = value;
                grid->addWidget(value, row, 1);
            }
            ++row;
        }
    } else {
        for (size_t i = 0; i < 4; ++i) {
            grid->addWidget(new QLabel(EditCaptions[i], p.frame), row, 0);
            auto* edit = new QLineEdit(p.frame);
            edit->setObjectName(d.edits[i]);
            edit->setMinimumWidth(180);
            // The edits keep what was typed, also through a Cancel.
            connect(edit, &QLineEdit::textEdited, this, [this, type, i](const QString& text) {
                ImportEdits& e = editsOf(state_, type);
                std::string* fields[] = {&e.NrChannels, &e.NrSamples, &e.SamplingRate, &e.MatrixName};
                *fields[i] = text.toStdString();
            });
            // Return in an edit is the panel's default button.
            connect(edit, &QLineEdit::returnPressed, this, [this] { ok(); });
            p.edits[i] = edit;
            grid->addWidget(edit, row++, 1);
        }
    }
    if (d.note) {
        auto* note = new QLabel(d.note, p.frame);
        note->setWordWrap(true);
        addWide(note);
    }
    for (size_t i = 0; i < 2; ++i) {
        auto* w = new QLabel(p.frame);
        w->setObjectName(d.warnings[i]);
        w->setStyleSheet("color: red; font-weight: bold;");
        w->hide();
        p.warnings[i] = w;
        addWide(w);
    }
    addWide(new QLabel("Do you want to proceed (load the file) ?", p.frame));
    auto* buttons = new QHBoxLayout();
    auto* okButton = new QPushButton("Ok", p.frame);
    auto* cancelButton = new QPushButton("Cancel", p.frame);
    okButton->setObjectName(d.ok);
    cancelButton->setObjectName(d.cancel);
    okButton->setDefault(true);
    okButton->setAutoDefault(true);
    cancelButton->setAutoDefault(false);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    grid->addLayout(buttons, row++, 0, 1, 2);
    connect(okButton, &QPushButton::clicked, this, [this] { ok(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { run_(ImportCancelClick); });
}

void ImportWindow::sync(bool shown) {
    if (!shown) {
        window_->hide();
        return;
    }
    const ImportWindowState& w = state_.ImportF;
    for (const PanelDef& d : Panels) {
        Panel& p = panels_[index(d.type)];
        const bool current = d.type == w.Panel;
        p.frame->setVisible(current);
        if (!current) continue;
        p.fileName->setText(QString::fromStdString(namePart(w.FileName)));
        p.maximum->setText(QString::fromStdString(MaximumSamplesText(state_)));
        p.warnings[0]->setText(TooManySamplesText);
        p.warnings[1]->setText(QString::fromStdString(TruncatedText(state_)));
        for (QLabel* label : p.warnings) label->setVisible(w.Warning);
        if (d.type == 5) {
            const AucklandHeader& h = w.Auckland;
            const QString values[] = {QString::number(h.HeaderLines), QString::number(h.NrChannels),
                                      QString::number(h.NrSamples),   generalFloat(h.SamplingRate),
                                      generalFloat(h.Calibration),    QString::fromStdString(h.MatrixName),
                                      QString::fromStdString(h.Comments)};
            for (size_t i = 0; i < 7; ++i) p.values[i]->setText(values[i]);
        } else {
            const ImportEdits& e = editsOf(state_, d.type);
            const std::string* fields[] = {&e.NrChannels, &e.NrSamples, &e.SamplingRate, &e.MatrixName};
            for (size_t i = 0; i < 4; ++i) p.edits[i]->setText(QString::fromStdString(*fields[i]));
        }
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void ImportWindow::ok() {
    // Return in an edit and the default button may both arrive: one import.
    if (!state_.ImportF.Shown) return;
    ImportResult result;
    // Loading replaces the recording: unsaved marks are asked about first.
    run_([&](Ctx& c) {
        if (SaveAlert(c)) result = ImportOkClick(c);
    });
    if (result.outcome == ImportOutcome::Refused) {
        const int type = state_.ImportF.Panel;
        if (type != 5 && result.field >= 1) {
            QLineEdit* e = edit(type, result.field - 1);
            e->setFocus();
            e->selectAll();
        }
    }
}

}  // namespace vk
