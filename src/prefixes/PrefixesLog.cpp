#include "prefixes/PrefixesLog.h"

Q_LOGGING_CATEGORY(lcPrefixes, "navolis.prefixes", QtInfoMsg)
