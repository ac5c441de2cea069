#pragma once

#include "platform/prefix/Prefix.h"
#include "platform/shell/ShellLinkFormat.h"

#include <QString>

#include <optional>

// The shell's link object over the prefix: holds one shortcut's properties, loads them from a
// .lnk file and saves them into one. File names are Windows paths of the prefix, or host paths
// when they start with '/'. Paths given as host paths are stored as the prefix's Windows paths
// (through its drives), since that is what Windows programs in the prefix read.
class ShellLinkObject
{
public:
    // The shell's buffers: paths below MAX_PATH, description and arguments below INFOTIPSIZE.
    static constexpr int maxPath = 260;
    static constexpr int infoTipSize = 1024;

    explicit ShellLinkObject(Prefix prefix = Prefix::target());

    // Read-only. False when the file is missing, unreadable or not a link.
    bool load(const QString &fileName);
    // Replaces the file atomically under the prefix's write lock; false when nothing was
    // written (Wine runs in the prefix, the folder is missing, ...).
    bool save(const QString &fileName) const;

    // The target: LinkInfo (its network path first), else the ID list, else the environment
    // block, else the relative path against the link's folder. Nullopt when there is none.
    std::optional<QString> path() const;
    // The shell's Resolve without a search for a moved target: true when the target is there.
    bool resolve() const;
    QString workingDirectory() const { return m_link.workingDir.value_or(QString()); }
    QString description() const { return m_link.name.value_or(QString()); }
    QString arguments() const { return m_link.arguments.value_or(QString()); }
    QString iconLocation() const { return m_link.iconLocation.value_or(QString()); }
    int iconIndex() const { return m_link.iconIndex; }
    int showCmd() const { return m_link.showCommand; }
    quint16 hotkey() const { return m_link.hotKey; }

    // The setters refuse values beyond the shell's buffers and then keep the old value.
    bool setPath(const QString &path);
    bool setWorkingDirectory(const QString &folder);
    bool setDescription(const QString &text);
    bool setArguments(const QString &text);
    bool setIconLocation(const QString &file, int index);
    void setShowCmd(int command) { m_link.showCommand = command; }
    void setHotkey(quint16 hotkey) { m_link.hotKey = hotkey; }

private:
    QString hostFileName(const QString &fileName) const;
    QString windowsPath(const QString &path) const;
    std::optional<QString> relativeTarget() const;

    Prefix m_prefix;
    ShellLinkData m_link;
    QString m_linkFolder; // Windows path of the loaded file's folder
};
