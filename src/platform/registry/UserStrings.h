#pragma once

#include <QString>

// The two registry string helpers of the browser settings. Both open the key below
// HKEY_CURRENT_USER with creation allowed, on a handle of their own.

// The string value, or empty when the value is missing, is not a string, or anything fails.
// An empty value name reads the key's default value.
QString ReadUserString(const QString &keyPath, const QString &valueName);

// Stores the value as REG_SZ, its terminating NUL counted; false when it is not in the file.
bool WriteUserString(const QString &keyPath, const QString &valueName, const QString &value);
