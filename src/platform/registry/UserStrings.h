#pragma once

#include <QString>

// The two registry string helpers of the browser settings. Both open the key below
// HKEY_CURRENT_USER with creation allowed, on a handle of their own, and report nothing.

// The string value, or empty when the value is missing, is not a string, or anything fails.
// An empty value name reads the key's default value.
QString ReadUserString(const QString &keyPath, const QString &valueName);

// Stores the value as REG_SZ, its terminating NUL counted; errors are swallowed.
void WriteUserString(const QString &keyPath, const QString &valueName, const QString &value);
