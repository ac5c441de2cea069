#pragma once

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The program, copied with what it needs into a folder of its own, run as a process.
class ProgramRun : public ::testing::Test
{
protected:
    QTemporaryDir folder;
    QString prefixRoot = folder.filePath(QStringLiteral("prefix"));

    struct Outcome
    {
        // The exit status; -1 when the run had to be killed, -2 when it crashed.
        int status = -3;
        QString out;
        QString err;
    };

    void SetUp() override
    {
        const QDir built(QStringLiteral(NAVOLIS_PROGRAM_DIR));
        for (const QString &name : built.entryList(QDir::Files))
            if (name == QLatin1String("navolis") || name.startsWith(QLatin1String("libQuTrans1")) ||
                name.startsWith(QLatin1String("navolis.")) || name == QLatin1String("clck.wav"))
                QFile::copy(built.filePath(name), folder.filePath(name));
        QFile::remove(folder.filePath(QStringLiteral("navolis.cho")));
        // The texts, for what the program writes out.
        QDir().mkpath(folder.filePath(QStringLiteral("qutrans")));
        const QDir texts(built.filePath(QStringLiteral("qutrans")));
        for (const QString &name : texts.entryList({QStringLiteral("*.lng")}, QDir::Files))
            QFile::copy(texts.filePath(name), folder.filePath("qutrans/" + name));
        QFile::setPermissions(folder.filePath(QStringLiteral("navolis")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void chooseLanguage()
    {
        QFile choice(folder.filePath(QStringLiteral("navolis.cho")));
        ASSERT_TRUE(choice.open(QIODevice::WriteOnly));
        choice.write("1.5a");
    }

    // As from cron or ssh: no display and no platform chosen.
    void startWithoutDisplay(QProcess &process, const QString &prefix, const QString &letters)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name :
             {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "NAVOLIS_PROGRAM_PATH"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("WINEPREFIX"), prefix);
        process.setProcessEnvironment(env);
        process.start(folder.filePath(QStringLiteral("navolis")), {letters});
    }

    // On Qt's offscreen platform unless `environment` says otherwise; an empty value removes
    // a variable.
    Outcome start(const QStringList &arguments, const QMap<QString, QString> &environment = {},
                  int timeoutMs = 30000)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.remove(QStringLiteral("NAVOLIS_PROGRAM_PATH"));
        env.insert(QStringLiteral("WINEPREFIX"), prefixRoot);
        for (auto it = environment.begin(); it != environment.end(); ++it) {
            if (it.value().isEmpty())
                env.remove(it.key());
            else
                env.insert(it.key(), it.value());
        }
        process.setProcessEnvironment(env);
        process.start(folder.filePath(QStringLiteral("navolis")), arguments);
        Outcome outcome;
        if (!process.waitForStarted())
            return outcome;
        if (!process.waitForFinished(timeoutMs)) {
            process.kill();
            process.waitForFinished();
            outcome.status = -1;
        } else {
            outcome.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
        }
        outcome.out = QString::fromUtf8(process.readAllStandardOutput());
        outcome.err = QString::fromUtf8(process.readAllStandardError());
        return outcome;
    }

    int run(const QStringList &arguments, int timeoutMs = 30000)
    {
        return start(arguments, {}, timeoutMs).status;
    }

    // Every file below a folder with its bytes.
    static QMap<QString, QByteArray> filesBelow(const QString &root)
    {
        QMap<QString, QByteArray> files;
        QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            files.insert(QDir(root).relativeFilePath(path),
                         file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?"));
        }
        return files;
    }
};
