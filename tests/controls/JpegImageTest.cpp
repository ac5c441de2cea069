#include "controls/JpegImage.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray jpegOf(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 95);
    return bytes;
}

QString writeFile(const QTemporaryDir &dir, const QByteArray &bytes)
{
    const QString path = dir.filePath(QStringLiteral("picture.jpg"));
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
    return path;
}

TEST(JpegImage, DecodesSizeAndColours)
{
    QImage source(48, 20, QImage::Format_RGB32);
    source.fill(QColor(200, 30, 40));
    QTemporaryDir dir;
    const QImage decoded = loadJpegImage(writeFile(dir, jpegOf(source)));
    ASSERT_FALSE(decoded.isNull());
    EXPECT_EQ(decoded.size(), source.size());
    const QColor centre = decoded.pixelColor(24, 10);
    EXPECT_NEAR(centre.red(), 200, 6);
    EXPECT_NEAR(centre.green(), 30, 6);
    EXPECT_NEAR(centre.blue(), 40, 6);
}

TEST(JpegImage, MissingEmptyOrDamagedFilesGiveNoPicture)
{
    QTemporaryDir dir;
    EXPECT_TRUE(loadJpegImage(dir.filePath(QStringLiteral("absent.jpg"))).isNull());
    EXPECT_TRUE(loadJpegImage(writeFile(dir, QByteArray())).isNull());
    EXPECT_TRUE(loadJpegImage(writeFile(dir, "not a picture at all")).isNull());

    QImage source(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            source.setPixel(x, y, qRgb(x * 4, y * 4, (x * y) % 256));
    const QByteArray whole = jpegOf(source);
    EXPECT_TRUE(loadJpegImage(writeFile(dir, whole.left(2))).isNull()) << "no header";
    // Cut inside the picture data: what is there is decoded, the rest stays grey.
    EXPECT_EQ(loadJpegImage(writeFile(dir, whole.left(whole.size() * 2 / 3))).size(), QSize(64, 64));
}

} // namespace
