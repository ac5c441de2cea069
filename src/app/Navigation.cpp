#include "app/Navigation.h"

#include "app/CompanionFiles.h"
#include "app/WindowSet.h"
#include "app/u_Navolis.h"
#include "platform/multimedia/Multimedia.h"

#include <QDir>
#include <QFileInfo>
#include <QFrame>

void PlayClickSound()
{
    const QString remembered = QDir::currentPath();
    const CompanionFiles files = CompanionFiles::forRunningProgram();
    QDir::setCurrent(files.dataFolder());
    if (QFileInfo::exists(QStringLiteral("clck.wav")))
        platform::mciSendString(QStringLiteral("play clck.wav"));
    QDir::setCurrent(remembered);
}

void HideAllPanels()
{
    for (QFrame *panel : Form1->panels())
        panel->setVisible(false);
}
