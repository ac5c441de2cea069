#pragma once

#include <QLabel>

// A label that reports clicks, for the link words and clickable pictures of the layouts. It
// takes the focus by Tab, shows it with a dotted frame, and Enter or Space press it as a click
// does; to assistive technology it is a link, or a button when it shows a picture.
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ClickLabel(QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
