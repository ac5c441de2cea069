#include "platform/multimedia/Multimedia.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {
SoundPlayer soundPlayer;
MciObserver mciObserver;

constexpr int MciErrorUnrecognizedCommand = 261;
constexpr int MciErrorFileNotFound = 275;
} // namespace

void setSoundPlayer(SoundPlayer player)
{
    soundPlayer = std::move(player);
}

void setMciObserver(MciObserver observer)
{
    mciObserver = std::move(observer);
}

int mciSendString(const QString &command)
{
    if (mciObserver)
        mciObserver(command);
    const QString verb = command.section(QLatin1Char(' '), 0, 0);
    const QString file = command.section(QLatin1Char(' '), 1).trimmed();
    if (verb.compare(QLatin1String("play"), Qt::CaseInsensitive) != 0 || file.isEmpty())
        return MciErrorUnrecognizedCommand;
    const QFileInfo info(QDir::current(), file);
    if (!info.isFile())
        return MciErrorFileNotFound;
    if (soundPlayer)
        soundPlayer(info.absoluteFilePath());
    return 0;
}

} // namespace platform
