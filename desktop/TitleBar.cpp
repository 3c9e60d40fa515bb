#include "desktop/TitleBar.h"

#include <QFontMetrics>

#include "desktop/QtCanvas.h"
#include "electrograms/TraceDisplay.h"

namespace vk {

namespace {
constexpr int BarHeight = 25;
// Each half of the mark-number control, so that both fit the bar's height.
constexpr int ArrowHeight = BarHeight / 2 - 1;
constexpr int ArrowWidth = 16;
constexpr int CaptionPixels = 15;
constexpr int MinCaptionPixels = 10;

// The bar's own texts: white bold 15-pixel letters on the bar's colour.
void barText(QLabel* label) {
    QFont f = label->font();
    f.setPixelSize(CaptionPixels);
    f.setBold(true);
    label->setFont(f);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(p);
}
}  // namespace

TitleBar::TitleBar(int panel, QWidget* parent) : QFrame(parent), panel_(panel) {
    const QString suffix = panel == 1 ? "1" : "2";
    setObjectName(panel == 1 ? "TitleBarA" : "TitleBarB");
    setFixedHeight(BarHeight);
    setAutoFillBackground(true);
    const QColor red(Qt::red), navy(0, 0, 128), black(Qt::black);
    addButton("Map", "SpeedMap" + suffix, red, 12)->setCheckable(true);
    addButton("Ele", "SpeedEle" + suffix, red, 12)->setCheckable(true);
    addButton("Wav", "SpeedWav" + suffix, red, 12)->setCheckable(true);
    if (panel == 1) addButton("T", "TileSpeedButton1", navy, 18);
    order_ = new QComboBox(this);
    order_->setObjectName("ComboBox" + suffix);
    const int items = panel == 1 ? 6 : 4;
    for (int i = 0; i < items; ++i) order_->addItem(TraceOrderItems[i]);
    connect(order_, QOverload<int>::of(&QComboBox::activated), this, [this](int item) {
        if (onButton) onButton("order", item);
    });
    markNr_ = new QLabel("Mark nr 1", this);
    markNr_->setObjectName(panel == 1 ? "SWnrLabelA" : "SWnrLabelB");
    barText(markNr_);
    // The up/down control: two arrow buttons stacked inside the bar.
    markUp_ = addButton("+", panel == 1 ? "UpDownWaveNrA_up" : "UpDownWaveNrB_up", black, 9);
    markDown_ = addButton("-", panel == 1 ? "UpDownWaveNrA_down" : "UpDownWaveNrB_down", black, 9);
    for (QToolButton* b : {markUp_, markDown_}) {
        b->setArrowType(b == markUp_ ? Qt::UpArrow : Qt::DownArrow);
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        b->setFixedSize(ArrowWidth, ArrowHeight);
    }
    markUp_->setToolTip("inc or dec wave nr");
    markDown_->setToolTip("inc or dec wave nr");
    for (const char* name : {"A", "a", "B", "W", "<", ">", "W+", "W-"}) {
        const QString n(name);
        const QString object = n == "A"    ? "SpeedIncAmplf"
                               : n == "a"  ? "SpeedDecAmplf"
                               : n == "B"  ? "SpeedBeg"
                               : n == "W"  ? "SpeedWin"
                               : n == "<"  ? "SpeedPrev"
                               : n == ">"  ? "SpeedNext"
                               : n == "W+" ? "SpeedIncWave"
                                           : "SpeedDecWave";
        addButton(n, object + suffix, black, 12);
    }
    caption_ = new QLabel(this);
    caption_->setObjectName(panel == 1 ? "CaptionA" : "CaptionB");
    barText(caption_);
    caption_->setAlignment(Qt::AlignCenter);
    caption_->lower();
}

QToolButton* TitleBar::addButton(const QString& name, const QString& objectName, const QColor& colour, int pixelSize) {
    auto* b = new QToolButton(this);
    b->setText(name);
    b->setObjectName(objectName);
    b->setAutoRaise(false);
    QFont f = b->font();
    f.setBold(true);
    f.setPixelSize(pixelSize);
    b->setFont(f);
    QPalette p = b->palette();
    p.setColor(QPalette::ButtonText, colour);
    b->setPalette(p);
    b->setFixedHeight(BarHeight - 4);
    b->setFocusPolicy(Qt::NoFocus);
    connect(b, &QToolButton::clicked, this, [this, name] {
        if (onButton) onButton(name, 0);
    });
    buttons_ << b;
    return b;
}

QToolButton* TitleBar::button(const QString& name) const {
    for (QToolButton* b : buttons_)
        if (b->text() == name) return b;
    return nullptr;
}

void TitleBar::showState(const TitleBarState& t, int displayType, int traceOrderItem, int markNr) {
    QPalette p = palette();
    p.setColor(QPalette::Window, QtCanvas::toQColor(t.colour));
    setPalette(p);
    caption_->setText(QString::fromStdString(t.caption));
    button("Map")->setChecked(displayType == 0);
    button("Ele")->setChecked(displayType == 1);
    button("Wav")->setChecked(displayType == 2);
    order_->setVisible(t.traceOrder);
    if (traceOrderItem >= 0 && traceOrderItem < order_->count()) order_->setCurrentIndex(traceOrderItem);
    button("A")->setVisible(t.amplify);
    button("a")->setVisible(t.amplify);
    markNr_->setVisible(t.markNr);
    markNr_->setText(QString("Mark nr %1").arg(markNr));
    markUp_->setVisible(t.markNr);
    markDown_->setVisible(t.markNr);
    button("<")->setVisible(t.paging);
    button(">")->setVisible(t.paging);
    button("W+")->setVisible(t.waveNav);
    button("W-")->setVisible(t.waveNav);
    layoutButtons();
}

void TitleBar::setCaption(const QString& text) {
    caption_->setText(text);
    fitCaption();
}

void TitleBar::fitCaption() {
    // A bar too narrow for the caption writes it smaller; when even the
    // smallest size does not fit, its start shows and the tooltip has it whole.
    QFont f = caption_->font();
    int size = CaptionPixels;
    f.setPixelSize(size);
    const int room = caption_->width();
    while (size > MinCaptionPixels && QFontMetrics(f).horizontalAdvance(caption_->text()) > room) f.setPixelSize(--size);
    caption_->setFont(f);
    const bool whole = QFontMetrics(f).horizontalAdvance(caption_->text()) <= room;
    caption_->setAlignment(whole ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    caption_->setToolTip(whole ? QString() : caption_->text());
}

void TitleBar::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    layoutButtons();
}

void TitleBar::layoutButtons() {
    const int w = width();
    const int y = 2;
    auto widthOf = [](QWidget* b) { return b->sizeHint().width(); };
    auto place = [&](QWidget* b, int right) {
        b->setGeometry(right - widthOf(b), y, widthOf(b), BarHeight - 4);
        return right - widthOf(b);
    };
    // From the right edge: W+, W-, then "W" 6 pixels further, "B", "A" 5
    // pixels further, "a"; "<" and ">" take the place of the wave buttons.
    const int wPlusLeft = place(button("W+"), w);
    const int wMinusLeft = place(button("W-"), wPlusLeft);
    const int nextLeft = place(button(">"), w - 5);
    place(button("<"), nextLeft);
    const int winLeft = place(button("W"), wMinusLeft - 6);
    const int begLeft = place(button("B"), winLeft);
    const int ampLeft = place(button("A"), begLeft - 5);
    const int rightEdge = place(button("a"), ampLeft);
    // From the left edge: display types, tiling, trace order, mark number.
    int x = 2;
    for (const char* name : {"Map", "Ele", "Wav", "T"}) {
        QToolButton* b = button(name);
        if (!b) continue;
        b->setGeometry(x, y, widthOf(b), BarHeight - 4);
        x += widthOf(b) + 1;
    }
    x += 4;
    if (order_->isVisible()) {
        order_->setGeometry(x, y, order_->sizeHint().width(), BarHeight - 4);
        x += order_->sizeHint().width() + 4;
    }
    if (markNr_->isVisible()) {
        markNr_->setGeometry(x, y, markNr_->sizeHint().width(), BarHeight - 4);
        x += markNr_->sizeHint().width() + 2;
        markUp_->move(x, 1);
        markDown_->move(x, BarHeight - 1 - ArrowHeight);
        x += ArrowWidth + 2;
    }
    caption_->setGeometry(x, 0, std::max(0, rightEdge - x - 4), BarHeight);
    fitCaption();
}

}  // namespace vk
