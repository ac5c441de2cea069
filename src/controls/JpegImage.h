#pragma once

#include <QImage>
#include <QString>

// Decodes a JPEG file with libjpeg; a missing or damaged file gives a null image.
QImage loadJpegImage(const QString &path);
