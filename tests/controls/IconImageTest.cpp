#include "controls/IconImage.h"
#include "AniBuilder.h"

#include <QBuffer>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

const QRgb kColour = qRgb(200, 100, 50);
const QRgb kOther = qRgb(10, 220, 30);

// Three by two pixels (odd width, so rows are padded). Top row: opaque, transparent,
// inverting; bottom row: opaque black, opaque, opaque other colour.
struct Scene
{
    int bpp;
    QList<QRgb> palette;
    QList<quint32> values; // stored values in reading order
};

QByteArray sceneImage(const Scene &s)
{
    return anibuild::dib(
        s.bpp, 3, 2, s.palette, [&](int x, int y) { return s.values[y * 3 + x]; },
        [](int x, int y) { return y == 0 && x > 0; });
}

class DibDepth : public ::testing::TestWithParam<Scene>
{
};

TEST_P(DibDepth, combinesColoursWithTheMask)
{
    const IconImage image = decodeIconImage(sceneImage(GetParam()));
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.colour.size(), QSize(3, 2));
    const QRgb other = GetParam().bpp == 1 ? kColour : kOther;
    EXPECT_EQ(image.colour.pixel(0, 0), kColour);
    EXPECT_EQ(image.colour.pixel(1, 0), 0u);
    EXPECT_EQ(image.colour.pixel(2, 0), 0u);
    EXPECT_EQ(image.colour.pixel(0, 1), qRgb(0, 0, 0));
    EXPECT_EQ(image.colour.pixel(1, 1), kColour);
    EXPECT_EQ(image.colour.pixel(2, 1), other);
    ASSERT_FALSE(image.invert.isNull());
    EXPECT_EQ(image.invert.pixel(2, 0), kColour);
    EXPECT_EQ(image.invert.pixel(1, 0) & RGB_MASK, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    IconImage, DibDepth,
    ::testing::Values(Scene{1, {qRgb(0, 0, 0), kColour}, {1, 0, 1, 0, 1, 1}},
                      Scene{4, {qRgb(0, 0, 0), kColour, kOther}, {1, 0, 1, 0, 1, 2}},
                      Scene{8, {qRgb(0, 0, 0), kOther, kColour}, {2, 0, 2, 0, 2, 1}},
                      Scene{24, {}, {kColour, 0, kColour, 0, kColour, kOther}},
                      // 32 bits with every alpha 0 follow the mask like the others
                      Scene{32,
                            {},
                            {kColour & RGB_MASK, 0, kColour &RGB_MASK, 0, kColour &RGB_MASK,
                             kOther &RGB_MASK}}),
    [](const auto &test) { return std::to_string(test.param.bpp) + "bpp"; });

TEST(IconImage, alphaChannelOverridesTheMask)
{
    const IconImage image = decodeIconImage(anibuild::dib(
        32, 2, 1, {}, [](int x, int) { return x ? qRgba(1, 2, 3, 0) : qRgba(200, 100, 50, 128); },
        [](int, int) { return true; }));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.colour.pixel(0, 0), qRgba(200, 100, 50, 128));
    EXPECT_EQ(qAlpha(image.colour.pixel(1, 0)), 0);
    EXPECT_TRUE(image.invert.isNull());
}

QByteArray png(const QImage &source)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    source.save(&buffer, "PNG");
    return bytes;
}

TEST(IconImage, decodesPng)
{
    QImage source(2, 2, QImage::Format_ARGB32);
    source.fill(qRgba(10, 20, 30, 40));
    source.setPixel(1, 1, qRgba(250, 0, 0, 255));
    const IconImage image = decodeIconImage(png(source));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.colour.pixel(0, 0), qRgba(10, 20, 30, 40));
    EXPECT_EQ(image.colour.pixel(1, 1), qRgba(250, 0, 0, 255));
}

TEST(IconImage, rejectsWhatItCannotReadSafely)
{
    const QByteArray good = anibuild::solidImage(kColour);
    ASSERT_FALSE(decodeIconImage(good).isNull());
    EXPECT_TRUE(decodeIconImage(good.chopped(1)).isNull()) << "mask cut short";
    EXPECT_TRUE(decodeIconImage(good.left(30)).isNull()) << "header cut short";
    QByteArray sixteenBits = good;
    sixteenBits[14] = 16;
    EXPECT_TRUE(decodeIconImage(sixteenBits).isNull());
    QByteArray hugePalette = anibuild::dib(
        8, 1, 1, {0}, [](int, int) { return 0u; }, [](int, int) { return false; });
    hugePalette[32] = char(0xff);
    hugePalette[35] = char(0x7f);
    EXPECT_TRUE(decodeIconImage(hugePalette).isNull());
    EXPECT_TRUE(decodeIconImage(png(QImage(300, 1, QImage::Format_ARGB32))).isNull());
}

TEST(IconImage, drawingInvertsTheBackgroundWhereTheMaskSaysSo)
{
    const IconImage image = decodeIconImage(sceneImage({24, {}, {kColour, 0, kColour, 0, 0, 0}}));
    for (QRgb background : {qRgb(255, 255, 255), qRgb(0, 0, 0)}) {
        QImage canvas(3, 2, QImage::Format_RGB32);
        canvas.fill(background);
        QPainter painter(&canvas);
        drawIconImage(painter, canvas.rect(), image);
        painter.end();
        EXPECT_EQ(canvas.pixel(0, 0), kColour);
        EXPECT_EQ(canvas.pixel(1, 0), background);
        EXPECT_EQ(canvas.pixel(2, 0), (background ^ kColour) | 0xff000000u);
    }
}

} // namespace
