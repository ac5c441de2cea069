#include "platform/shell/ShellLinkFormat.h"
#include "TestEnvironment.h"
#include "platform/shell/ShellItemIds.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray le(quint32 value, int width)
{
    QByteArray out;
    for (int i = 0; i < width; ++i)
        out.append(char((value >> (8 * i)) & 0xff));
    return out;
}

QByteArray header(quint32 flags, quint32 showCommand = 1, qint32 iconIndex = 0)
{
    return le(0x4C, 4) + QByteArray::fromHex("0114020000000000C000000000000046") + le(flags, 4) +
           QByteArray(32, '\0') + le(quint32(iconIndex), 4) + le(showCommand, 4) +
           QByteArray(12, '\0');
}

QByteArray utf16(const QString &text)
{
    QByteArray out;
    for (const QChar c : text)
        out += le(c.unicode(), 2);
    return out;
}

QByteArray sample()
{
    QFile file(testenv::samplePrefix() + "/drive_c/users/user/AppData/Roaming/Microsoft/Windows/"
                                         "Start Menu/Programs/StartUp/Navolis-Auto.lnk");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(ShellLinkFormat, WritesTheDocumentedMinimalLink)
{
    ShellLinkData link;
    link.fileAttributes = 0x20;
    link.linkInfoPath = "C:\\windows\\notepad.exe";
    link.name = "notepad.exe";
    link.workingDir = "C:\\windows\\";
    link.arguments = "cbhm";
    link.iconLocation = "C:\\windows\\notepad.exe";
    const QByteArray expected =
        header(0xF6).replace(0x18, 4, le(0x20, 4)) +
        QByteArray::fromHex("450000001C000000010000001C0000002D000000000000004400000011000000"
                            "03000000000000001000000000") +
        "C:\\windows\\notepad.exe" + QByteArray(2, '\0') + le(11, 2) + utf16("notepad.exe") +
        le(11, 2) + utf16("C:\\windows\\") + le(4, 2) + utf16("cbhm") + le(22, 2) +
        utf16("C:\\windows\\notepad.exe") + le(0, 4);
    ASSERT_EQ(expected.size(), 253);
    EXPECT_EQ(ShellLinkFormat::serialize(link).toHex(), expected.toHex());
}

TEST(ShellLinkFormat, ReadsWineLinkAndRejectsEveryTruncation)
{
    const QByteArray bytes = sample();
    ASSERT_EQ(bytes.size(), 0x1A8);
    const auto link = ShellLinkFormat::parse(bytes);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->linkInfoPath, "Z:\\opt\\navolis\\navolis");
    EXPECT_EQ(ShellItemIds::toWindowsPath(link->idList), "Z:\\opt\\navolis\\navolis");
    EXPECT_EQ(link->arguments, "cbh"); // Wine counts the NUL
    EXPECT_FALSE(link->name);

    // Without the terminal block the link is whole; any shorter file is not.
    const auto noTerminal = ShellLinkFormat::parse(bytes.first(bytes.size() - 4));
    ASSERT_TRUE(noTerminal);
    EXPECT_EQ(noTerminal->iconLocation, link->iconLocation);
    for (qsizetype size = 0; size < bytes.size() - 4; ++size)
        EXPECT_FALSE(ShellLinkFormat::parse(bytes.first(size))) << size;
}

TEST(ShellLinkFormat, ReadsTheVariantsOtherWritersUse)
{
    // ANSI strings in the code page, a show command the shell treats as normal, signed index.
    const QByteArray ansi = header(0x24, 2, -5) + le(3, 2) + "\x80 a" + le(1, 2) + "b" + le(0, 4);
    auto link = ShellLinkFormat::parse(ansi);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->name, QString::fromUtf8("\xe2\x82\xac a"));
    EXPECT_EQ(link->arguments, "b");
    EXPECT_EQ(link->showCommand, 1);
    EXPECT_EQ(link->iconIndex, -5);

    // LinkInfo with Unicode offsets: the Unicode strings win, base and suffix are joined.
    QByteArray info =
        le(0, 4) + le(0x24, 4) + le(1, 4) + le(0x24, 4) + le(0x35, 4) + le(0, 4) + le(0x37, 4) +
        le(0x39, 4) + le(0x45, 4) + QByteArray::fromHex("1100000003000000000000001000000000") +
        "?" + QByteArray(1, '\0') + "x" + QByteArray(1, '\0') +
        utf16(QString::fromUtf8("C:\\\xe4\xb8\xad\\")) + le(0, 2) + utf16("a.exe") + le(0, 2);
    info.replace(0, 4, le(quint32(info.size()), 4));
    link = ShellLinkFormat::parse(header(0x02) + info);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->linkInfoPath, QString::fromUtf8("C:\\\xe4\xb8\xad\\a.exe"));

    // A network share is preferred to the local path.
    QByteArray network =
        le(0, 4) + le(0x1C, 4) + le(3, 4) + le(0x1C, 4) + le(0x2D, 4) + le(0x30, 4) + le(0x53, 4) +
        QByteArray::fromHex("1100000003000000000000001000000000") + "C:" + QByteArray(1, '\0') +
        le(0x23, 4) + le(0, 4) + le(0x14, 4) + le(0, 4) + le(0x20000, 4) + "\\\\server\\share" +
        QByteArray(1, '\0') + "doc.txt" + QByteArray(1, '\0');
    network.replace(0, 4, le(quint32(network.size()), 4));
    link = ShellLinkFormat::parse(header(0x02) + network);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->linkInfoPath, "\\\\server\\share\\doc.txt");

    // Offsets that point outside LinkInfo give no path, but the rest of the link still reads.
    QByteArray damaged = network;
    damaged.replace(0x10, 4, le(0x7000, 4));
    damaged.replace(0x14, 4, le(0x7000, 4));
    link = ShellLinkFormat::parse(header(0x22) + damaged + le(1, 2) + utf16("r"));
    ASSERT_TRUE(link);
    EXPECT_FALSE(link->linkInfoPath);
    EXPECT_EQ(link->arguments, "r");

    // Extra data: unknown blocks are skipped, the environment block gives a target, and a
    // block that claims more than the file holds ends the list.
    QByteArray environment = le(0x314, 4) + le(0xA0000001, 4) + QByteArray(260, '\0') +
                             utf16("%ProgramFiles%\\x.exe") + QByteArray(520 - 40, '\0');
    link = ShellLinkFormat::parse(header(0x80) + le(12, 4) + le(0xA0000004, 4) + le(1252, 4) +
                                  environment + le(0x400, 4) + le(0xA0000002, 4));
    ASSERT_TRUE(link);
    EXPECT_EQ(link->environmentTarget, "%ProgramFiles%\\x.exe");

    // Not a link: wrong header size or class identifier.
    QByteArray wrongClass = header(0);
    wrongClass[4] = 0x02;
    EXPECT_FALSE(ShellLinkFormat::parse(wrongClass));
    EXPECT_FALSE(ShellLinkFormat::parse(header(0).replace(0, 4, le(0x4D, 4))));
}

TEST(ShellItemIds, DamagedOrForeignListsGiveNoPath)
{
    const auto link = ShellLinkFormat::parse(sample());
    ASSERT_TRUE(link);
    const QByteArray wine = link->idList;
    EXPECT_EQ(ShellItemIds::toWindowsPath(wine.first(wine.size() - 2)), "");
    QByteArray looping = wine;
    looping.replace(0x14, 2, le(0xFFFF, 2)); // the volume claims more than the list holds
    EXPECT_EQ(ShellItemIds::toWindowsPath(looping), "");
    QByteArray foreign = wine;
    foreign[0x16] = char(0x46); // a network item where the volume belongs
    EXPECT_EQ(ShellItemIds::toWindowsPath(foreign), "");
}

} // namespace
