#include "controls/ClickLabel.h"

#include "controls/ClickableAccessible.h"
#include "controls/KeyboardAccess.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

// Tab only: a click with the mouse leaves the focus where it was, as before.
ClickLabel::ClickLabel(QWidget *parent) : QLabel(parent)
{
    setFocusPolicy(Qt::TabFocus);
    installClickableAccessibility();
}

// Accepting the press makes the label the receiver of the matching release.
void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    event->setAccepted(event->button() == Qt::LeftButton);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void ClickLabel::keyPressEvent(QKeyEvent *event)
{
    if (!KeyboardAccess::isPressKey(event))
        return QLabel::keyPressEvent(event);
    if (!event->isAutoRepeat())
        emit clicked();
}

void ClickLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    QPainter painter(this);
    KeyboardAccess::paintFocusFrame(this, painter);
}
