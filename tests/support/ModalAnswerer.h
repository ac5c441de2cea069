#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

class QWidget;

// Answers the modal windows that a flow opens: each time one is up, it records the message
// window's text (or the window's name) and closes it, as a user pressing "weiter" would.
// A window can be given a step of its own instead.
class ModalAnswerer
{
public:
    // Runs at each poll while its window is the active modal one, until it returns true; once
    // more only after the window was hidden. The answerer's timer does not fire while a step runs:
    // a step that opens a further modal window posts that action (Qt::QueuedConnection) instead of
    // running it.
    using Step = std::function<bool(QWidget *window)>;

    ModalAnswerer();
    ~ModalAnswerer();

    void on(QWidget *window, Step step);

    // One entry per modal window answered: the message text for the message window,
    // otherwise the window's object name.
    QStringList answered() const { return m_answered; }

private:
    void poll();

    QTimer m_timer;
    QStringList m_answered;
    QHash<QWidget *, Step> m_steps;
    QSet<QWidget *> m_stepsDone;
};
