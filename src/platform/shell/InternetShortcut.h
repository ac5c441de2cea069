#pragma once

#include "platform/shell/ShellNamespace.h"

#include <QString>

// The shell's internet-shortcut object, as far as reading goes: Load reads the address of a .url
// file (value "URL" of section "InternetShortcut", by the profile rules) and GetURL gives it.
class InternetShortcut
{
public:
    // `fileName` is a Windows path of the prefix, or a host path when it starts with '/'. Fails
    // with E_FAIL when the file cannot be read or holds no address, as Wine's object does.
    win::HRESULT Load(const QString &fileName);
    // S_FALSE and an empty address before a successful Load.
    win::HRESULT GetURL(QString *url) const;

private:
    QString m_url;
};

// Whether an address may go to the desktop's browser or mail program: http, https, ftp and
// mailto. A shortcut naming a local file, a script or a program is not followed.
bool isWebOrMailAddress(const QString &address);

// The host path of a file named by a Windows path of the current prefix, or the host path
// itself when it starts with '/'.
QString shellHostPath(const QString &fileName);

// Whether `fileName` names an internet shortcut (.url): the only kind of file that may be
// rewritten in the format below, which would destroy a shell link or a document.
bool isInternetShortcutFile(const QString &fileName);

// Replaces the file with exactly the two lines "[InternetShortcut]" and "URL=" + `address`, each
// ended by CR LF, in the ANSI code page; atomically and under the prefix's write lock, so that a
// failed write leaves the old file. False with the reason when nothing was written: Wine runs in
// the prefix, the address has characters the code page lacks, or the folder refuses the file.
bool writeInternetShortcutFile(const QString &fileName, const QString &address, QString *reason);
