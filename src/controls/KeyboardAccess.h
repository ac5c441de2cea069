#pragma once

class QKeyEvent;
class QPainter;
class QWidget;

// The stored layouts were made for the mouse: these make their controls usable from the
// keyboard too, on every style.
namespace KeyboardAccess {

// Enter, Return and Space press a link, a picture or a button as a click does; a key held
// down presses once.
bool isPressKey(const QKeyEvent *event);

// A dotted frame just inside a control that has the keyboard focus, in the control's text
// colour, so that it shows on any style and in a high-contrast palette.
void paintFocusFrame(const QWidget *control, QPainter &painter);

// The buttons below `root` press on Enter as on Space and show the frame when focused; Tab
// passes read-only texts by.
void apply(QWidget *root);

} // namespace KeyboardAccess
