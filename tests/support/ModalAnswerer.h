#pragma once

#include <QString>
#include <QStringList>
#include <QTimer>

class QWidget;

// Answers the modal windows that a flow opens: each time one is up, it records the message
// window's text (or the window's name) and closes it, as a user pressing "weiter" would.
class ModalAnswerer
{
public:
    ModalAnswerer();
    ~ModalAnswerer();

    // One entry per modal window answered: the message text for the message window,
    // otherwise the window's object name.
    QStringList answered() const { return m_answered; }

private:
    void poll();

    QTimer m_timer;
    QStringList m_answered;
    QWidget *m_last = nullptr;
};
