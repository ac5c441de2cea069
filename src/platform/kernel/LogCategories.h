#pragma once

#include <QLoggingCategory>

// One category per subsystem; failed platform calls say so at debug level
// (QT_LOGGING_RULES="navolis.*.debug=true" shows them).
Q_DECLARE_LOGGING_CATEGORY(lcRegistry)
Q_DECLARE_LOGGING_CATEGORY(lcUrlCache)
Q_DECLARE_LOGGING_CATEGORY(lcShell)
Q_DECLARE_LOGGING_CATEGORY(lcUi)
