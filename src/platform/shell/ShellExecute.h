#pragma once

#include <QString>

// What the shell's "Open" does with a target: a Windows path of the prefix or a host path names a
// file; an internet shortcut opens its address instead, when that is a web or mail address (a
// favourites folder is not trusted input); anything else is an address for the desktop.
struct ShellOpenPlan
{
    enum Action
    {
        OpenFile,    // `target` is a host path
        OpenAddress, // `target` is an address
        Refuse       // `reason` says why
    };
    Action action = Refuse;
    QString target;
    QString reason;
};

ShellOpenPlan planShellOpen(const QString &target);
