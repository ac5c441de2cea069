#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

namespace testenv {

namespace {
// Removed when the process ends; every test runs in a process of its own.
std::unique_ptr<QTemporaryDir> homeDir;
} // namespace

void isolateHome()
{
    if (homeDir)
        return;
    homeDir = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/navolis-test-home-XXXXXX");
    const QByteArray path = homeDir->path().toLocal8Bit();
    setenv("HOME", path.constData(), 1);
    setenv("XDG_DATA_HOME", (path + "/.local/share").constData(), 1);
    setenv("XDG_CONFIG_HOME", (path + "/.config").constData(), 1);
    unsetenv("WINEPREFIX");
}

void isolateProgramFiles(const char *argv0)
{
    const QString folder = home() + QStringLiteral("/program");
    QDir().mkpath(folder);
    const QString program =
        folder + QLatin1Char('/') + QFileInfo(QString::fromLocal8Bit(argv0)).fileName();
    QFile file(program);
    file.open(QIODevice::WriteOnly);
    setenv("NAVOLIS_PROGRAM_PATH", QFile::encodeName(program).constData(), 1);
}

QString home()
{
    return homeDir ? homeDir->path() : QString();
}

QString samplePrefix()
{
    return QStringLiteral(NAVOLIS_SAMPLE_PREFIX);
}

QString nonAsciiSamplePrefix()
{
    return QStringLiteral(NAVOLIS_NONASCII_SAMPLE_PREFIX);
}

} // namespace testenv
