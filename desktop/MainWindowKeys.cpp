// The keys of the main window: navigation, the Shift key of snapped
// marking and the letter keys over a panel, seen before any control.
#include "desktop/MainWindow.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "electrograms/TraceDisplay.h"
#include "marks/Journal.h"
#include "shell/Commands.h"
#include "shell/KeyMap.h"
#include "shell/ViewCommands.h"

namespace vk {

namespace {

// A field the user types into keeps its own caret and page keys.
bool isTextField(const QObject* o) {
    return qobject_cast<const QLineEdit*>(o) || qobject_cast<const QTextEdit*>(o) ||
           qobject_cast<const QPlainTextEdit*>(o) || qobject_cast<const QAbstractSpinBox*>(o);
}

}  // namespace

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // A press begins the user's next action: what the one before changed
    // is counted as one change for the journal.
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)
        CountChanges(state_);
    if (watched == aboutPanel_ && event->type() == QEvent::MouseButtonPress) {
        run(CloseAboutClick);
        return true;
    }
    if (event->type() == QEvent::KeyRelease && QApplication::activeWindow() == this && watched->isWidgetType()) {
        state_.SearchMarking = false;
    }
    if (event->type() == QEvent::KeyPress && QApplication::activeWindow() == this && watched->isWidgetType()) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Shift && key->modifiers() == Qt::ShiftModifier) state_.SearchMarking = true;
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return QMainWindow::eventFilter(watched, event);
        // Navigation and letters go to the panels only while no text field
        // has the keyboard and no menu is open (its arrow keys are its own).
        if (isTextField(watched) || isTextField(QApplication::focusWidget()) || QApplication::activePopupWidget())
            return QMainWindow::eventFilter(watched, event);
        std::optional<NavKey> nav;
        switch (key->key()) {
            case Qt::Key_Up: nav = NavKey::Up; break;
            case Qt::Key_Down: nav = NavKey::Down; break;
            case Qt::Key_Left: nav = NavKey::Left; break;
            case Qt::Key_Right: nav = NavKey::Right; break;
            case Qt::Key_PageUp: nav = NavKey::PageUp; break;
            case Qt::Key_PageDown: nav = NavKey::PageDown; break;
            default: break;
        }
        if (nav) {
            run([&](Ctx& c) { MoveStartCell(c, *nav); });
            return true;
        }
        // Letters act on the electrogram or map under the mouse, and only
        // while the mouse is inside its drawing area.
        const QString text = key->text();
        if (text.size() == 1 && text[0].isLetterOrNumber() && text[0].unicode() < 128) {
            const char c = static_cast<char>(text[0].toUpper().unicode());
            bool used = false;
            run([&](Ctx& ctx) { used = CharacterKey(ctx, c); });
            if (used) return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace vk
