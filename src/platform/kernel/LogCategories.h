#pragma once

#include <QLoggingCategory>

// One category per subsystem; failed platform calls say so at debug level
// (QT_LOGGING_RULES="navolis.*.debug=true" shows them).
Q_DECLARE_LOGGING_CATEGORY(lcRegistry)
Q_DECLARE_LOGGING_CATEGORY(lcUrlCache)
Q_DECLARE_LOGGING_CATEGORY(lcShell)
Q_DECLARE_LOGGING_CATEGORY(lcUi)

// For the guards that ignore a failure of platform work, as the program's windows do: called in
// a catch block, it logs what was ignored and where.
void logIgnoredException(const QLoggingCategory &category, const char *where);
