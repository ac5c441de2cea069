#pragma once

#include "platform/registry/Registry.h"

#include <QString>
#include <QStringList>

#include <stdexcept>

// Raised by TRegistry when a read or write fails, as the framework's registry object does.
class ERegistryException : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The framework's registry object over the registry calls: one current key below a root key
// (HKEY_CURRENT_USER unless set), opened with the access given at construction.
class TRegistry
{
public:
    explicit TRegistry(win::REGSAM access = win::KEY_ALL_ACCESS);
    ~TRegistry();
    TRegistry(const TRegistry &) = delete;
    TRegistry &operator=(const TRegistry &) = delete;

    win::HKEY RootKey() const { return m_root; }
    void SetRootKey(win::HKEY root);
    win::HKEY CurrentKey() const { return m_current; }
    const QString &CurrentPath() const { return m_currentPath; }

    // A path starting with a backslash is taken from the root, any other from the current key.
    bool OpenKey(const QString &key, bool canCreate);
    void CloseKey();
    // Saves what was changed through the current key; false when the save failed, which
    // undoes those changes.
    bool FlushKey();
    // Empties `strings`, then lists the current key's value names in stored order.
    void GetValueNames(QStringList &strings) const;
    bool ValueExists(const QString &name) const;
    // Plain and expandable strings, cut at the first NUL; a missing or empty value reads as
    // empty; any other type raises ERegistryException.
    QString ReadString(const QString &name) const;
    // Stores a REG_SZ; raises ERegistryException when it cannot.
    void WriteString(const QString &name, const QString &value);
    bool DeleteValue(const QString &name);

private:
    win::HKEY baseFor(const QString &key) const;

    win::REGSAM m_access;
    win::HKEY m_root = win::HKEY_CURRENT_USER;
    win::HKEY m_current = nullptr;
    QString m_currentPath;
};
