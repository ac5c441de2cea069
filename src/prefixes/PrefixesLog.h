#pragma once

#include <QLoggingCategory>

// Configuration files of the launchers that were skipped, and why.
Q_DECLARE_LOGGING_CATEGORY(lcPrefixes)
