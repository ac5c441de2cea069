#pragma once

#include <QObject>
#include <stdexcept>
#include <string>

// A control of a window or panel, found by the object name its stored layout gives it. Windows
// keep their layouts to themselves; a test reaches a control the way the translations do.
template <class Control> Control *control(const QObject *root, const char *name)
{
    auto *found = root->findChild<Control *>(QLatin1String(name));
    if (!found)
        throw std::logic_error(std::string("no control ") + name + " below " +
                               root->objectName().toStdString());
    return found;
}
