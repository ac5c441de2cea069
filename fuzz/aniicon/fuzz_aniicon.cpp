// Feeds arbitrary bytes to the animation reader, then plays and draws every frame it kept.

#include "controls/aniicon.h"

#include <QPainter>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TAniIconFile file;
    file.loadFromData(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    QImage canvas(40, 40, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&canvas);
    for (int i = 0; i < TAniIconFile::MaxFrames + 2; ++i) {
        file.setFrame(i);
        file.draw(painter, QPoint(4, 4));
    }
    for (int tick = 0; tick < 300; ++tick)
        file.advanceTick();
    return 0;
}
