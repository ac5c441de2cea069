#include "controls/ClickSound.h"

#include "app/CompanionFiles.h"
#include "platform/multimedia/Multimedia.h"

#include <QDir>
#include <QFileInfo>

void PlayClickSound()
{
    const QString remembered = QDir::currentPath();
    const CompanionFiles files = CompanionFiles::forRunningProgram();
    QDir::setCurrent(files.dataFolder());
    if (QFileInfo::exists(QStringLiteral("clck.wav")))
        platform::mciSendString(QStringLiteral("play clck.wav"));
    QDir::setCurrent(remembered);
}
