#pragma once

#include <QObject>
#include <QString>

// A Windows shortcut's properties, read from and written to a .lnk file through the shell's
// link object. Strings are held to 259 characters, the shell's 260-character buffers.
class TShellLink : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Path READ path WRITE setPath)
    Q_PROPERTY(QString WorkingDirectory READ workingDirectory WRITE setWorkingDirectory)
    Q_PROPERTY(QString Description READ description WRITE setDescription)
    Q_PROPERTY(QString Arguments READ arguments WRITE setArguments)
    Q_PROPERTY(QString IconLocation READ iconLocation WRITE setIconLocation)
    Q_PROPERTY(int IconIndex READ iconIndex WRITE setIconIndex)
    Q_PROPERTY(int ShowCmd READ showCmd WRITE setShowCmd)
    Q_PROPERTY(int HotKey READ hotKey WRITE setHotKey)

public:
    static constexpr int maxChars = 259;

    explicit TShellLink(QObject *owner = nullptr);

    // Path = target, WorkingDirectory and Description = its folder (up to the last '\' or ':')
    // and file name, Arguments as given; the rest back to the defaults.
    void Reset(const QString &target, const QString &arguments);
    // Every property from the file, or the defaults and false when it cannot be loaded.
    bool LoadFromFile(const QString &fileName);
    // Writes a new file, replacing an old one; false when a property was refused or the file
    // was not written. The file name is a Windows path, or a host path starting with '/'.
    bool SaveToFile(const QString &fileName) const;

    QString path() const { return m_path; }
    void setPath(const QString &value) { m_path = value; }
    QString workingDirectory() const { return m_workingDirectory; }
    void setWorkingDirectory(const QString &value) { m_workingDirectory = value; }
    QString description() const { return m_description; }
    void setDescription(const QString &value) { m_description = value; }
    QString arguments() const { return m_arguments; }
    void setArguments(const QString &value) { m_arguments = value; }
    QString iconLocation() const { return m_iconLocation; }
    void setIconLocation(const QString &value) { m_iconLocation = value; }
    int iconIndex() const { return m_iconIndex; }
    void setIconIndex(int value) { m_iconIndex = value; }
    int showCmd() const { return m_showCmd; }
    void setShowCmd(int value) { m_showCmd = value; }
    int hotKey() const { return m_hotKey; }
    void setHotKey(int value) { m_hotKey = value; }

private:
    QString m_path;
    QString m_workingDirectory;
    QString m_description;
    QString m_arguments;
    QString m_iconLocation;
    int m_iconIndex = 0;
    int m_showCmd = 1;
    int m_hotKey = 0;
};
