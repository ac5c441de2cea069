#include "platform/multimedia/SoundEffectPlayer.h"

#include "platform/multimedia/Multimedia.h"

#include <QCoreApplication>
#include <QSoundEffect>
#include <QUrl>

namespace platform {

void installSoundEffectPlayer()
{
    auto *effect = new QSoundEffect(QCoreApplication::instance());
    setSoundPlayer([effect](const QString &path) {
        const QUrl url = QUrl::fromLocalFile(path);
        if (effect->source() != url)
            effect->setSource(url);
        effect->play();
    });
}

} // namespace platform
