#pragma once

#include <QString>
#include <QStringList>

// Rules over a key's values as the program uses them: every value counts, whatever its name
// or type. Keys are opened with full access and created when missing, as the program's reads
// do. Failures are logged and give what was reached.

// The key's value names in stored order.
QStringList ValueNamesOf(const QString &keyPath);

struct ValueDeletion
{
    // The names the key held before.
    QStringList names;
    // Every value is gone from the file; false when the registry kept one, could not be
    // reached, or could not be saved.
    bool complete = false;
};

// Deletes every value of the key, never the key or its subkeys.
ValueDeletion DeleteAllValues(const QString &keyPath);
