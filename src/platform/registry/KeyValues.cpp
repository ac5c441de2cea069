#include "platform/registry/KeyValues.h"

#include "platform/kernel/LogCategories.h"
#include "platform/registry/TRegistry.h"

QStringList ValueNamesOf(const QString &keyPath)
{
    QStringList names;
    try {
        TRegistry registry;
        if (registry.OpenKey(keyPath, true))
            registry.GetValueNames(names);
    } catch (...) {
        logIgnoredException(lcRegistry(), "listing the values of a key");
    }
    return names;
}

ValueDeletion DeleteAllValues(const QString &keyPath)
{
    ValueDeletion deletion;
    try {
        TRegistry registry;
        if (!registry.OpenKey(keyPath, true))
            return deletion;
        registry.GetValueNames(deletion.names);
        bool kept = false;
        for (const QString &name : deletion.names) {
            if (!registry.DeleteValue(name) && registry.ValueExists(name))
                kept = true;
        }
        // The deletions are only in memory until the key is saved.
        deletion.complete = registry.FlushKey() && !kept;
    } catch (...) {
        logIgnoredException(lcRegistry(), "deleting the values of a key");
        deletion.complete = false;
    }
    return deletion;
}
