#pragma once

#include <QString>

namespace win {

// ShellExecute's results: above 32 when the target was handed on, otherwise the failure.
constexpr int SE_ERR_FNF = 2;          // no such file, or nothing to open
constexpr int SE_ERR_ACCESSDENIED = 5; // refused: a shortcut not followed, a program not started
constexpr int SE_ERR_NOASSOC = 31;     // no program for it
constexpr int ShellExecuteOpened = 33;

} // namespace win

// What the shell's "Open" does with a target: a Windows path of the prefix or a host path names a
// file; an internet shortcut opens its address instead, when that is a web or mail address (a
// favourites folder is not trusted input); a shortcut opens what it leads to, when that is there
// and is no program; anything else is an address for the desktop.
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
    int error = win::SE_ERR_FNF; // ShellExecute's result for a refusal
};

ShellOpenPlan planShellOpen(const QString &target);
