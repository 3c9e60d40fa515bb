// What a user reads must show whole: the tiled window, with a map in panel
// A and electrograms in panel B, grabbed at two screen sizes; the texts of
// the title bars, the scale-bar label and the input boxes are measured with
// the fonts they are drawn in.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "desktop/MainWindow.h"
#include "desktop/PanelWidget.h"
#include "desktop/QtDialogs.h"
#include "desktop/TitleBar.h"
#include "input/DemoRecording.h"
#include "shell/Commands.h"
#include "shell/ViewCommands.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace vk {
namespace {

// The dark pixels of rows y0..y1 of an image: their leftmost and rightmost x.
std::pair<int, int> inkColumns(const QImage& image, int y0, int y1) {
    int lo = image.width(), hi = -1;
    for (int y = std::max(0, y0); y <= std::min(image.height() - 1, y1); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                lo = std::min(lo, x);
                hi = std::max(hi, x);
            }
    return {lo, hi};
}

void expectTextFits(const QLabel* label) {
    const QFontMetrics m(label->font());
    EXPECT_LE(m.horizontalAdvance(label->text()), label->contentsRect().width())
        << label->objectName().toStdString() << ": " << label->text().toStdString();
    EXPECT_LE(m.height(), label->height()) << label->objectName().toStdString();
}

TEST(TextsFit, TitleBarsScaleLabelAndInputBoxesAtTwoScreenSizes) {
    test::TempDir dir;
    const DemoFiles demo = WriteDemoRecording(dir.file("demo"));
    for (const QSize size : {QSize(1600, 1000), QSize(1280, 800)}) {
        SCOPED_TRACE(size.width());
        auto s = std::make_unique<SessionState>();
        s->DataRoot = dir.file("root");
        test::ScriptedHost host;
        MainWindow w(*s, &host);
        w.resize(size);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        ASSERT_TRUE(OpenFromCommandLine(w.ctx(), demo.matrix, demo.recording));
        TitleBar* a = w.titleBar(1);
        QTest::mouseClick(a->button("T"), Qt::LeftButton);
        QTest::mouseClick(a->button("Map"), Qt::LeftButton);
        w.action("Spike2")->trigger();  // the blue bar of the complaint
        QApplication::processEvents();
        // The mouse over a cell of the map and over a trace of panel B gives
        // the longest live captions.
        QTest::mouseMove(w.paintBox(1), QPoint(s->MapLeft + 3 * s->CellWidth / 2, s->MapTop + 3 * s->CellHeight / 2));
        QTest::mouseMove(w.paintBox(2), QPoint(s->PlotLeft + 200, s->PlotTop + 30));
        ASSERT_EQ(std::tuple(s->DisplayTypeA, s->DisplayTypeB), std::tuple(0, 1));
        const QImage shot = w.grab().toImage();
        ASSERT_EQ(shot.size(), w.size());

        // Every control of both bars lies inside its bar, and every text
        // there is white bold and whole.
        for (int panel : {1, 2}) {
            TitleBar* bar = w.titleBar(panel);
            const QRect inside(0, 0, bar->width(), bar->height());
            for (QWidget* c : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (!c->isVisible()) continue;
                EXPECT_TRUE(inside.contains(c->geometry())) << c->objectName().toStdString() << " at " << c->y()
                                                            << " height " << c->height();
            }
            for (QLabel* l : {bar->markNrLabel(), bar->captionLabel()}) {
                EXPECT_TRUE(l->font().bold());
                EXPECT_EQ(l->palette().color(QPalette::WindowText), QColor(Qt::white));
                if (l->isVisible()) expectTextFits(l);
            }
            for (QToolButton* b : bar->findChildren<QToolButton*>())
                if (b->isVisible() && b->arrowType() == Qt::NoArrow) {
                    EXPECT_LE(QFontMetrics(b->font()).horizontalAdvance(b->text()), b->width()) << b->text().toStdString();
                }
            QComboBox* order = bar->traceOrderBox();
            if (order->isVisible()) {
                EXPECT_GE(order->width(), order->sizeHint().width());
            }
        }
        EXPECT_TRUE(w.titleBar(2)->markNrLabel()->isVisible());
        EXPECT_EQ(w.titleBar(2)->captionLabel()->text().toStdString(), s->CaptionB);
        for (QLabel* l : w.statusLabels()) expectTextFits(l);

        // The scale-bar label of panel B, in the rows below the plot: all
        // of its ink shows, clear of the panel's black frame.
        const std::string label = "1.000 mV";
        QtCanvas& canvas = w.canvasB();
        const QRect paint(w.paintBox(2)->mapTo(&w, QPoint(0, 0)), w.paintBox(2)->size());
        const QRect below(paint.right() - 120, paint.top() + s->PlotHeight + 5, 120, canvas.textHeight(label));
        const auto [lo, hi] = inkColumns(shot.copy(below), 0, below.height() - 1);
        ASSERT_GE(hi, 0);  // some ink, and none in the last column
        EXPECT_LT(hi, below.width() - 1);
        EXPECT_GE(hi - lo + 1, canvas.textWidth(label) - 4);

        // Side by side the bars are half as wide: a caption too long even
        // at the smallest size shows its start and is whole in its tooltip.
        SetTileType(w.ctx(), false);
        QApplication::processEvents();
        for (int panel : {1, 2}) {
            QLabel* caption = w.titleBar(panel)->captionLabel();
            const QFontMetrics m(caption->font());
            EXPECT_GE(caption->font().pixelSize(), 10);
            if (m.horizontalAdvance(caption->text()) > caption->width()) {
                EXPECT_EQ(caption->toolTip(), caption->text());
                EXPECT_EQ(caption->font().pixelSize(), 10);
            }
        }

        // The input boxes show their whole caption and prompt.
        for (const auto& [caption, prompt] :
             {std::pair<QString, QString>{"Window Time Display A", "Give new window:"},
              {"Amplification Electrograms ", "Give new value:"}}) {
            const auto box = QtDialogs::makeInputBox(&w, caption, prompt, "4000");
            box->show();
            QFont bold = box->font();
            bold.setBold(true);
            EXPECT_GE(box->width(), QFontMetrics(bold).horizontalAdvance(caption) + QtDialogs::TitleBarExtras)
                << caption.toStdString();
            for (QLabel* l : box->findChildren<QLabel*>()) expectTextFits(l);
            box->close();
        }
    }
}

}  // namespace
}  // namespace vk
