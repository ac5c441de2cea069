#include "platform/kernel/LogCategories.h"

#include <exception>

Q_LOGGING_CATEGORY(lcRegistry, "navolis.registry", QtInfoMsg)
Q_LOGGING_CATEGORY(lcUrlCache, "navolis.urlcache", QtInfoMsg)
Q_LOGGING_CATEGORY(lcShell, "navolis.shell", QtInfoMsg)
Q_LOGGING_CATEGORY(lcUi, "navolis.ui", QtInfoMsg)

void logIgnoredException(const QLoggingCategory &category, const char *where)
{
    try {
        throw;
    } catch (const std::exception &e) {
        qCWarning(category) << where << "ignored:" << e.what();
    } catch (...) {
        qCWarning(category) << where << "ignored an unknown exception";
    }
}
