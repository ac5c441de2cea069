#pragma once

#include <QString>

// The files that live beside the program, named after the program file itself:
// "/opt/navolis/navolis" gives "/opt/navolis/navolis.cho", "C:/Tools/Navolis.exe" gives
// "C:/Tools/Navolis.cho". Where the program's folder is not writable, the files the program
// writes go to $XDG_DATA_HOME/navolis/ under the same names. The files it only reads may also
// lie in an installed tree's data folder.
class CompanionFiles
{
public:
    explicit CompanionFiles(const QString &programPath);

    // The running program, as the runtime reports it.
    static CompanionFiles forRunningProgram();
    static QString runningProgramPath();

    QString programPath() const { return m_programPath; }
    QString programFolder() const;
    // Where the files installed with the program lie (the definition template, the click sound,
    // the language data): beside it, as in the build folder or a portable copy, else in the
    // ../share/navolis folder of an installed tree.
    QString dataFolder() const;

    QString languageChoiceFile() const { return written(QStringLiteral("cho")); }
    QString definitionFile() const { return written(QStringLiteral("def")); }
    QString definitionTemplate() const;
    QString helpFile() const { return written(QStringLiteral("chm")); }
    QString documentationFile() const { return written(QStringLiteral("doc")); }
    QString presenterPicture() const;
    QString clickSound() const;

private:
    QString written(const QString &extension) const;

    QString m_programPath;
    QString m_basePath;
    QString m_writableBasePath;
};
