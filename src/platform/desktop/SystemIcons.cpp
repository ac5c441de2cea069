#include "platform/desktop/SystemIcons.h"

#include "platform/shell/ShellFileInfo.h"

#include <QApplication>
#include <QStyle>

namespace SystemIcons {

namespace {

struct ThemeIcon
{
    const char *themeName;
    QStyle::StandardPixmap fallback;
};

ThemeIcon themeIconFor(int index)
{
    switch (index) {
    case win::IconFolder:
        return {"folder", QStyle::SP_DirIcon};
    case win::IconInternetShortcut:
        return {"text-html", QStyle::SP_FileLinkIcon};
    case win::IconShellLink:
        return {"emblem-symbolic-link", QStyle::SP_FileLinkIcon};
    case win::IconChannel:
        return {"folder-remote", QStyle::SP_DirLinkIcon};
    case win::IconComputer:
        return {"computer", QStyle::SP_ComputerIcon};
    case win::IconDrive:
        return {"drive-harddisk", QStyle::SP_DriveHDIcon};
    default:
        return {"text-x-generic", QStyle::SP_FileIcon};
    }
}

} // namespace

QIcon icon(const win::SystemImageList *list, int index)
{
    if (!list || index < 0 || index >= list->count)
        return {};
    static QIcon icons[win::SystemIconCount];
    QIcon &cached = icons[index];
    if (cached.isNull()) {
        const ThemeIcon wanted = themeIconFor(index);
        cached = QIcon::fromTheme(QString::fromLatin1(wanted.themeName));
        if (cached.isNull())
            cached = QApplication::style()->standardIcon(wanted.fallback);
    }
    return cached;
}

} // namespace SystemIcons
