#include "ModalAnswerer.h"

#include "Controls.h"

#include "app/WindowSet.h"
#include "dialogs/u_ShowMessage2.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>

ModalAnswerer::ModalAnswerer()
{
    m_timer.setInterval(5);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
    m_timer.start();
}

ModalAnswerer::~ModalAnswerer() = default;

void ModalAnswerer::on(QWidget *window, Step step)
{
    m_steps.insert(window, std::move(step));
}

void ModalAnswerer::poll()
{
    auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
    m_stepsDone.removeIf([](QWidget *window) { return !window->isVisible(); });
    if (!dialog || !dialog->isVisible())
        return;
    if (const auto step = m_steps.constFind(dialog); step != m_steps.cend()) {
        if (!m_stepsDone.contains(dialog) && (*step)(dialog))
            m_stepsDone.insert(dialog);
        return;
    }
    // The busy window closes itself; answering it would cut its count short.
    if (dialog->objectName() == QLatin1String("TForm2"))
        return;
    if (ShowMessage2Form && dialog == ShowMessage2Form)
        m_answered << control<QLabel>(ShowMessage2Form, "Label2")->text();
    else
        m_answered << dialog->objectName();
    dialog->close();
}
