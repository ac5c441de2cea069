#include "platform/kernel/LogCategories.h"

Q_LOGGING_CATEGORY(lcRegistry, "navolis.registry", QtInfoMsg)
Q_LOGGING_CATEGORY(lcUrlCache, "navolis.urlcache", QtInfoMsg)
Q_LOGGING_CATEGORY(lcShell, "navolis.shell", QtInfoMsg)
Q_LOGGING_CATEGORY(lcUi, "navolis.ui", QtInfoMsg)
