// Feeds arbitrary bytes to the icon image decoder and draws what it returns.

#include "controls/IconImage.h"

#include <QPainter>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const IconImage image =
        decodeIconImage(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    QImage canvas(32, 32, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&canvas);
    drawIconImage(painter, canvas.rect(), image);
    return 0;
}
