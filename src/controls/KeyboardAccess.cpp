#include "controls/KeyboardAccess.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

namespace KeyboardAccess {

namespace {

// A push button that is a dialog's default presses on Enter already.
bool pressesOnEnterItself(const QAbstractButton *button)
{
    const auto *push = qobject_cast<const QPushButton *>(button);
    return push && (push->autoDefault() || push->isDefault());
}

// Paints the frame over what the button's style drew, and presses the button on Enter.
class ButtonKeys : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *button = qobject_cast<QAbstractButton *>(watched);
        if (!button)
            return false;
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if ((key->key() == Qt::Key_Enter || key->key() == Qt::Key_Return) &&
                !pressesOnEnterItself(button)) {
                if (!key->isAutoRepeat())
                    button->click();
                return true;
            }
        } else if (event->type() == QEvent::Paint && button->hasFocus()) {
            // The button paints itself first; the filter then adds the frame on top.
            static_cast<QObject *>(button)->event(event);
            QPainter painter(button);
            paintFocusFrame(button, painter);
            return true;
        }
        return false;
    }
};

} // namespace

bool isPressKey(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Enter:
    case Qt::Key_Return:
    case Qt::Key_Space:
    case Qt::Key_Select:
        return event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    default:
        return false;
    }
}

void paintFocusFrame(const QWidget *control, QPainter &painter)
{
    if (!control->hasFocus())
        return;
    painter.save();
    QPen pen(control->palette().color(control->foregroundRole()), 1, Qt::DotLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(control->rect().adjusted(0, 0, -1, -1));
    painter.restore();
}

// Read-only texts are read, not operated: a click still selects in them, Tab passes them by.
void apply(QWidget *root)
{
    auto *keys = new ButtonKeys(root);
    for (QAbstractButton *button : root->findChildren<QAbstractButton *>()) {
        if (qobject_cast<QPushButton *>(button) || button->inherits("QToolButton"))
            button->installEventFilter(keys);
    }
    for (QTextEdit *text : root->findChildren<QTextEdit *>()) {
        if (text->isReadOnly())
            text->setFocusPolicy(Qt::ClickFocus);
    }
    for (QPlainTextEdit *text : root->findChildren<QPlainTextEdit *>()) {
        if (text->isReadOnly())
            text->setFocusPolicy(Qt::ClickFocus);
    }
}

} // namespace KeyboardAccess
