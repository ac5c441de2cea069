#include "AniBuilder.h"
#include "controls/aniicon.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using anibuild::iconFile;
using anibuild::solidImage;

QRgb colourOf(int i)
{
    return qRgb(10 * i, 255 - 10 * i, 7);
}

QList<QByteArray> icons(int count)
{
    QList<QByteArray> out;
    for (int i = 0; i < count; ++i)
        out += iconFile(solidImage(colourOf(i)));
    return out;
}

int frameCount(const TAniIconFile &file)
{
    int n = 0;
    while (n < TAniIconFile::MaxFrames && file.hasFrame(n))
        ++n;
    return n;
}

TAniIconFile loaded(const QByteArray &bytes)
{
    TAniIconFile file;
    file.loadFromData(bytes);
    return file;
}

QByteArray resource(const char *path)
{
    TAniIcon registersResources;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(AniIconFile, logoAdvancesEvery120msAndWrapsAfterTheFifteenthFrame)
{
    TAniIconFile file = loaded(resource(":/ani/logo.ani"));
    ASSERT_EQ(frameCount(file), 15);
    EXPECT_EQ(file.header().defaultRate, 10u);
    EXPECT_EQ(file.header().flags, 1u);
    int changes = 0;
    file.setOnChange([&] { ++changes; });
    for (int frame = 1; frame <= 15; ++frame) {
        for (int tick = 0; tick < 5; ++tick)
            file.advanceTick();
        EXPECT_EQ(file.frame(), frame - 1) << "after 100 ms";
        file.advanceTick();
        EXPECT_EQ(file.frame(), frame % 15) << "after 120 ms";
    }
    EXPECT_EQ(changes, 15);
}

TEST(AniIconFile, storedAnimationsKeepTheirLayout)
{
    const QByteArray logo = resource(":/ani/logo.ani");
    ASSERT_EQ(logo.size(), 64546);
    const QByteArray start =
        QByteArray::fromHex("524946461afc000041434f4e616e6968240000002400000" // RIFF, ACON, anih
                            "00f0000000f000000200000002000000020000000010000000a00000001000000"
                            "726174653c000000");
    EXPECT_EQ(logo.left(start.size()), start);
    EXPECT_EQ(logo.mid(0x7c, 0x2a).toHex(),
              "4c4953549efb00006672616d69636f6ebe10000000000100010020200000010020"
              "00a810000016000000");
    EXPECT_EQ(logo.mid(0xa6, 16), QByteArray::fromHex("28000000200000004000000001002000"));

    const QByteArray hourglass = resource(":/ani/hourglass.ani");
    EXPECT_EQ(hourglass.mid(12, 4), "LIST");
    EXPECT_EQ(hourglass.mid(20, 4), "INFO");
    TAniIconFile file = loaded(hourglass);
    EXPECT_EQ(frameCount(file), 15);
    EXPECT_EQ(file.header().defaultRate, 14u);
    EXPECT_EQ(file.rate(14), 14u);
    EXPECT_EQ(file.data(), hourglass);
}

TEST(AniIconFile, rateZeroShowsAFrameForOneTick)
{
    TAniIconFile file = loaded(anibuild::build({.rates = QList<quint32>{0, 4}, .icons = icons(2)}));
    file.advanceTick();
    EXPECT_EQ(file.frame(), 1);
    file.advanceTick();
    file.advanceTick();
    EXPECT_EQ(file.frame(), 1) << "rate 4 lasts three ticks";
    file.advanceTick();
    EXPECT_EQ(file.frame(), 0);
}

TEST(AniIconFile, frameOutOfRangeOrEmptyReadsZero)
{
    TAniIconFile file = loaded(anibuild::build({.icons = icons(3)}));
    file.setFrame(2);
    EXPECT_EQ(file.frame(), 2);
    for (int bad : {70, 3, -1, 63}) {
        file.setFrame(2);
        file.setFrame(bad);
        EXPECT_EQ(file.frame(), 0) << bad;
    }
}

TEST(AniIconFile, infoListBeforeHeaderLoadsTheSame)
{
    const anibuild::Ani plain{
        .defaultRate = 7, .rates = QList<quint32>{3, 5, 9}, .icons = icons(3)};
    anibuild::Ani withInfo = plain;
    withInfo.info = {{"Odd name", "An author"}}; // odd text sizes need a pad byte
    const TAniIconFile a = loaded(anibuild::build(plain));
    const TAniIconFile b = loaded(anibuild::build(withInfo));
    ASSERT_EQ(frameCount(a), 3);
    ASSERT_EQ(frameCount(b), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(b.rate(i), a.rate(i));
        EXPECT_EQ(b.frameImage(i).colour, a.frameImage(i).colour);
    }
    EXPECT_EQ(b.frameImage(2).colour.pixel(5, 5), colourOf(2));
    EXPECT_EQ(b.rate(80), 7u) << "rates beyond the table default to the header's";
}

TEST(AniIconFile, frameListEndsAtASmallLargeOrDamagedFrame)
{
    QList<QByteArray> frames = icons(4);
    frames[2] = iconFile(QByteArray(700, '\0'));
    EXPECT_EQ(frameCount(loaded(anibuild::build({.icons = frames}))), 2) << "under 766 bytes";
    frames[2] = iconFile(QByteArray(5000, '\0'));
    EXPECT_EQ(frameCount(loaded(anibuild::build({.icons = frames}))), 2) << "too large";
    frames[2] = iconFile(solidImage(colourOf(2)));
    frames[2][18] = char(0x88); // image offset 5000, beyond the chunk
    frames[2][19] = char(0x13);
    EXPECT_EQ(frameCount(loaded(anibuild::build({.icons = frames}))), 2) << "image past its chunk";
    frames[2] = iconFile(solidImage(colourOf(2)), 40);
    EXPECT_EQ(frameCount(loaded(anibuild::build({.icons = frames}))), 4) << "gap before image";
}

TEST(AniIconFile, oversizedTablesAndCountsStayInBounds)
{
    QList<quint32> rates(300, 4);
    rates[0] = 20;
    const TAniIconFile file = loaded(anibuild::build({.rates = rates,
                                                      .sequence = QList<quint32>(200, 1),
                                                      .info = {{QByteArray(1000, 'x'), "a"}},
                                                      .icons = icons(3),
                                                      .frameCount = 100000}));
    EXPECT_EQ(frameCount(file), 3);
    EXPECT_EQ(file.header().frameCount, 64u);
    EXPECT_EQ(file.rate(0), 20u);
    EXPECT_EQ(file.rate(127), 4u);
}

TEST(AniIconFile, truncatedFilesLoadWhatIsComplete)
{
    const QByteArray full = anibuild::build({.info = {{"n", "a"}}, .icons = icons(3)});
    for (qsizetype length = 0; length < full.size(); length += length < 400 ? 1 : 97) {
        TAniIconFile file = loaded(full.left(length));
        EXPECT_LE(frameCount(file), 2) << length;
        file.advanceTick();
        EXPECT_TRUE(file.frame() == 0 || file.hasFrame(file.frame()));
    }
    EXPECT_EQ(frameCount(loaded(full)), 3);
}

TEST(AniIconFile, withoutFrameListNothingPlays)
{
    QByteArray noFrames = anibuild::build({.icons = {}});
    noFrames.chop(12); // the empty frame list
    TAniIconFile file = loaded(noFrames);
    EXPECT_TRUE(file.isLoaded());
    EXPECT_EQ(file.header().defaultRate, 10u);
    for (int i = 0; i < 20; ++i)
        file.advanceTick();
    EXPECT_EQ(file.frame(), 0);
    EXPECT_FALSE(file.hasFrame(0));
}

} // namespace
