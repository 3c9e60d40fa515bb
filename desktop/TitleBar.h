// The 25-pixel bar over a display panel: the display-type buttons, the
// trace-order box, the mark number, the live caption and the buttons for
// amplification, begin time, window, paging and waves.
#pragma once

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QToolButton>
#include <functional>

#include "shell/Display.h"

namespace vk {

class TitleBar : public QFrame {
    Q_OBJECT
public:
    // panel: 1 = A (with the tiling button), 2 = B.
    TitleBar(int panel, QWidget* parent);

    // Shows the state of the panel: visible controls, colour and caption.
    void showState(const TitleBarState& t, int displayType, int traceOrderItem, int markNr);
    void setCaption(const QString& text);

    // Called with the name of the button pressed ("Map", "T", "<", "W+", ...)
    // or "order" with the chosen item of the trace-order box.
    std::function<void(const QString& button, int item)> onButton;

    QToolButton* button(const QString& name) const;
    QComboBox* traceOrderBox() const { return order_; }
    QLabel* captionLabel() const { return caption_; }
    QLabel* markNrLabel() const { return markNr_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* addButton(const QString& name, const QString& objectName, const QColor& colour, int pixelSize);
    void layoutButtons();
    void fitCaption();

    int panel_;
    QList<QToolButton*> buttons_;
    QComboBox* order_ = nullptr;
    QLabel* markNr_ = nullptr;
    QToolButton* markUp_ = nullptr;
    QToolButton* markDown_ = nullptr;
    QLabel* caption_ = nullptr;
};

}  // namespace vk
