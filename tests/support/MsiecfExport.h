#pragma once

#include <QString>
#include <utility>

// msiecfexport, an independent reader of index.dat containers: the items and the recoverable
// items it finds in one, or {-1, -1} when the tool (libmsiecf-utils) is not installed.
std::pair<int, int> exportedItems(const QString &index);
