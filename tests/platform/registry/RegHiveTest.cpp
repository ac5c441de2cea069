#include "platform/registry/RegHive.h"
#include "TestEnvironment.h"
#include "platform/kernel/WinTypes.h"
#include "platform/registry/RegText.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace win;

namespace {

QByteArray sampleUserReg()
{
    QFile file(testenv::samplePrefix() + "/user.reg");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray utf16(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), (text.size() + 1) * 2);
}

QString text(const RegHive::Value *value)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(value->data().constData()),
                              value->data().size() / 2 - 1);
}

const QByteArray head = "WINE REGISTRY Version 2\n;; All keys relative to X\n\n#arch=win64\n";

// 2023-12-08 16:54:18 UTC, and a time of the change that is easy to recognise.
constexpr quint64 changeTime = 0x1dd8730f9328184ULL + 10000000ULL * 1000;
// Compared as text, so that a failure shows the lines that differ.
std::string str(const QByteArray &bytes)
{
    return bytes.toStdString();
}

const QByteArray changeKeyLine = "] 1796748229\n#time=1dd87334d3e6584\n";

} // namespace

TEST(RegHive, SampleRoundTripsByteForByte)
{
    const QByteArray sample = sampleUserReg();
    ASSERT_FALSE(sample.isEmpty());
    const auto hive = RegHive::parse(sample);
    ASSERT_FALSE(hive->isDamaged());
    EXPECT_EQ(hive->serialize(), sample);
    const RegHive::Key *typed =
        hive->findKey({"software", "MICROSOFT", "Internet Explorer", "TypedURLs"});
    ASSERT_NE(typed, nullptr);
    EXPECT_EQ(typed->name(), "TypedURLs");
    ASSERT_EQ(typed->values().size(), 2u);
    EXPECT_EQ(text(typed->value(u"URL2")), "news.example.org");
    EXPECT_EQ(typed->lastWriteTime(), 0x1dd8730f9328184ULL);
}

TEST(RegHive, WritesEveryValueFormAsWineDoes)
{
    EXPECT_EQ(regtext::formatValue(u"N\u00e4me \"q\" \\ b", REG_SZ,
                                   utf16(u"Gr\u00fc\u00dfe \u2013 \u20ac \U0001F600 tab\tend"_qs)),
              "\"N\\xe4me \\\"q\\\" \\\\ b\"=\"Gr\\xfc\\x00dfe \\x2013 \\x20ac \\xd83d\\xde00 "
              "tab\\tend\"\n");
    EXPECT_EQ(regtext::formatValue(u"", REG_SZ, utf16("x")), "@=\"x\"\n");
    EXPECT_EQ(regtext::formatValue(u"ex", REG_EXPAND_SZ, utf16("%USERPROFILE%\\Favorites")),
              "\"ex\"=str(2):\"%USERPROFILE%\\\\Favorites\"\n");
    EXPECT_EQ(regtext::formatValue(u"m", REG_MULTI_SZ, QByteArray("a\0\0\0b\0\0\0\0\0", 10)),
              "\"m\"=str(7):\"a\\0b\\0\"\n");
    EXPECT_EQ(regtext::formatValue(u"c", REG_SZ, utf16(QString(QChar(1)) + "7" + QChar(2))),
              "\"c\"=\"\\0017\\2\"\n");
    EXPECT_EQ(regtext::formatValue(u"dw", REG_DWORD, QByteArray("\x78\x56\x34\x12", 4)),
              "\"dw\"=dword:12345678\n");
    EXPECT_EQ(regtext::formatValue(u"odd", REG_SZ, QByteArray("A\0B", 3)),
              "\"odd\"=hex(1):41,00,42\n");
    EXPECT_EQ(regtext::formatValue(u"qw", REG_QWORD, QByteArray("\x88\x77", 2)),
              "\"qw\"=hex(b):88,77\n");
    QByteArray bytes;
    for (int i = 1; i <= 0x2f; ++i)
        bytes.append(char(i));
    EXPECT_EQ(
        regtext::formatValue(u"bin", REG_BINARY, bytes),
        "\"bin\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,\\\n"
        "  18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,2f\n");
}

TEST(RegHive, ReadsWhatWineAccepts)
{
    const auto hive =
        RegHive::parse(head + "\r\n[Key\\\\Sub] 1796746435\r\n"
                              "  \"raw\" = \"Gr\xc3\xbc\xc3\x9f\xf0\x9f\x98\x80\xff\"\r\n"
                              "\"esc\"=\"\\q\\[\\x00e9t\\101\"\n"
                              "\"s\"=str:\"plain\"\n"
                              "\"h\"=hex(1):41,00,42,00,00,00\n"
                              "\"wrap\"=hex:01, 02,\\\n   FF\n"
                              "\"dw\"=dword:1f\n"
                              "unknown line\n"
                              "\n[key\\\\SUB] 1796746435\n\"RAW\"=\"second\"\n");
    ASSERT_FALSE(hive->isDamaged());
    const RegHive::Key *key = hive->findKey({"KEY", "sub"});
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->name(), "Sub");
    EXPECT_EQ(text(key->value(u"raw")), "second");
    EXPECT_EQ(key->value(u"raw")->name(), "raw"); // the first spelling stays
    EXPECT_EQ(text(key->value(u"esc")), u"q[\u00e9tA"_qs);
    EXPECT_EQ(key->value(u"s")->type, REG_SZ);
    EXPECT_EQ(text(key->value(u"h")), "AB");
    EXPECT_EQ(key->value(u"wrap")->data(), QByteArray("\x01\x02\xff"));
    EXPECT_EQ(key->value(u"dw")->data(), QByteArray("\x1f\0\0\0", 4));
    EXPECT_EQ(key->lastWriteTime(), 1796746435ULL * 10000000 + 116444736000000000ULL);
    EXPECT_EQ(key->values().size(), 6u);
}

TEST(RegHive, ReadsRawUtf8AndDropsInvalidBytes)
{
    const auto hive = RegHive::parse(head + "[K]\n\"v\"=\"Gr\xc3\xbc\xff\xf0\x9f\x98\x80\"\n");
    EXPECT_EQ(text(hive->findKey({"K"})->value(u"v")), u"Gr\u00fc\U0001F600"_qs);
}

TEST(RegHive, DamagedFileReadsEmpty)
{
    const QByteArray cases[] = {
        "\xef\xbb\xbfWINE REGISTRY Version 2\n[K]\n",
        "WINE REGISTRY Version 1\n",
        "",
        head + "\"before\"=\"key\"\n[K]\n",
        head + "[K\n\"v\"=\"x\"\n",
        head + "[K]\n\"v\"=\"unterminated\n",
        head + "[K]\n\"v\"=DWORD:1\n",
        head + "[K]\n\"v\"=hex:zz\n",
        head + "[K]\n\"v\"=hex:01,\\\n",
        head + "[K]\n\"v\" \"x\"\n",
    };
    for (const QByteArray &text : cases) {
        const auto hive = RegHive::parse(text);
        EXPECT_TRUE(hive->isDamaged()) << text.constData();
        EXPECT_TRUE(hive->root()->values().empty());
        EXPECT_EQ(hive->root()->subkeyCount(), 0);
    }
}

TEST(RegHive, ChangingAValueRewritesOnlyItsLineAndTheKeysTimestamp)
{
    const QByteArray sample = sampleUserReg();
    const auto hive = RegHive::parse(sample);
    const RegHive::Key *key =
        hive->findKey({"Software", "Microsoft", "Internet Explorer", "TypedURLs"});
    ASSERT_TRUE(hive->setValue(key, "URL1", REG_SZ, utf16("http://changed/"), changeTime));
    QByteArray expected = sample;
    expected.replace("[Software\\\\Microsoft\\\\Internet Explorer\\\\TypedURLs] 1796747229\n"
                     "#time=1dd8730f9328184\n\"url1\"=\"http://www.example.com/\"\n",
                     "[Software\\\\Microsoft\\\\Internet Explorer\\\\TypedURLs" + changeKeyLine +
                         "\"url1\"=\"http://changed/\"\n");
    ASSERT_NE(expected, sample);
    EXPECT_EQ(str(hive->serialize()), str(expected));
    EXPECT_FALSE(hive->setValue(key, "url1", REG_SZ, utf16("http://changed/"), changeTime + 1));
}

TEST(RegHive, DeletingAValueRemovesExactlyItsLines)
{
    const QByteArray sample = sampleUserReg();
    const auto hive = RegHive::parse(sample);
    const RegHive::Key *key = hive->findKey({"Control Panel", "Desktop", "WindowMetrics"});
    const RegHive::Value *wrapped = key->values()[1];
    ASSERT_EQ(wrapped->type, REG_BINARY); // a value that spans continuation lines
    const qsizetype start = sample.indexOf("\n\"" + wrapped->name().toLatin1() + "\"=") + 1;
    const qsizetype end = sample.indexOf("\n\"", start) + 1;
    ASSERT_TRUE(hive->deleteValue(key, wrapped->name().toUpper(), changeTime));
    EXPECT_FALSE(hive->deleteValue(key, u"no such value", changeTime));
    QByteArray expected = sample;
    expected.remove(start, end - start);
    expected.replace(
        "[Control Panel\\\\Desktop\\\\WindowMetrics] 1796747218\n#time=1dd8730f2101cfe\n",
        "[Control Panel\\\\Desktop\\\\WindowMetrics" + changeKeyLine);
    EXPECT_EQ(str(hive->serialize()), str(expected));
}

TEST(RegHive, NewKeysAndValuesGoWhereWineSortsThem)
{
    const auto hive = RegHive::parse(head + "\n[A] 1\n#time=1\n\"b\"=\"1\"\n\"d\"=\"2\"\n"
                                            "\n[C] 1\n#time=1\n#class=\"cls\"\n");
    bool created = false;
    const RegHive::Key *key = hive->createKey({"a", "B[x]"}, changeTime, &created);
    EXPECT_TRUE(created);
    hive->setValue(key, "v", REG_SZ, utf16("n"), changeTime);
    hive->setValue(hive->findKey({"A"}), "C", REG_SZ, utf16("3"), changeTime);
    hive->setValue(hive->findKey({"C"}), "z", REG_SZ, utf16("4"), changeTime);
    hive->createKey({"D"}, changeTime);
    EXPECT_EQ(str(hive->serialize()),
              str(head + "\n[A" + changeKeyLine + "\"b\"=\"1\"\n\"C\"=\"3\"\n\"d\"=\"2\"\n" +
                  "\n[A\\\\B\\[x\\]" + changeKeyLine + "\"v\"=\"n\"\n" + "\n[C" + changeKeyLine +
                  "#class=\"cls\"\n\"z\"=\"4\"\n" + "\n[D" + changeKeyLine));
    std::vector<QString> names;
    for (const RegHive::Value *value : hive->findKey({"A"})->values())
        names.push_back(value->name());
    EXPECT_EQ(names, (std::vector<QString>{"b", "C", "d"}));
    EXPECT_EQ(hive->findKey({"C"})->className(), "cls");
}

TEST(RegHive, AddedLinesKeepTheFileReadable)
{
    // A key stored in two blocks, and a last line without its newline.
    const auto hive = RegHive::parse(head + "\n[K]\n\"b\"=\"1\"\n\n[k]\n@=\"d\"\n\"c\"=\"2\"");
    const RegHive::Key *key = hive->findKey({"K"});
    hive->setValue(key, "a", REG_SZ, utf16("0"), changeTime);
    hive->setValue(key, "z", REG_SZ, utf16("9"), changeTime);
    const auto reread = RegHive::parse(hive->serialize());
    ASSERT_FALSE(reread->isDamaged());
    const auto names = [](const RegHive::Key *k) {
        std::vector<QString> result;
        for (const RegHive::Value *value : k->values())
            result.push_back(value->name());
        return result;
    };
    EXPECT_EQ(names(reread->findKey({"K"})), names(key)); // the file keeps the enumeration order
    EXPECT_EQ(names(key).size(), 5u);
}

// A name that comes twice (any case) is one value: its first spelling and place, its last data;
// a change rewrites the first line and drops the repeat. The same whether the key is small
// enough to be scanned or large enough to be indexed.
TEST(RegHive, RepeatedNamesAreOneValueInSmallAndLargeKeys)
{
    for (const int others : {2, 20}) {
        QByteArray file = head + "\n[K] 1796747229\n\"Dup\"=\"first\"\n";
        for (int i = 0; i < others; ++i)
            file += "\"v" + QByteArray::number(i) + "\"=dword:0000000" +
                    QByteArray::number(i % 10) + "\n";
        file += "\"DUP\"=\"last\"\n";
        const auto hive = RegHive::parse(file);
        ASSERT_FALSE(hive->isDamaged());
        EXPECT_EQ(hive->serialize(), file) << "parsing changes nothing";
        const RegHive::Key *key = hive->findKey({"k"});
        ASSERT_EQ(key->values().size(), size_t(others + 1)) << others;
        const RegHive::Value *dup = key->value(u"dUp");
        ASSERT_NE(dup, nullptr);
        EXPECT_EQ(dup->name(), "Dup");
        EXPECT_EQ(text(dup), "last");
        EXPECT_EQ(key->values().front(), dup);
        for (int i = 0; i < others; ++i)
            EXPECT_NE(key->value(QStringLiteral("V%1").arg(i)), nullptr) << i;

        ASSERT_TRUE(hive->setValue(key, "dup", REG_SZ, utf16("new"), changeTime));
        const QByteArray saved = hive->serialize();
        EXPECT_TRUE(saved.contains("\n\"Dup\"=\"new\"\n")) << str(saved);
        EXPECT_FALSE(saved.contains("DUP")) << str(saved);
        ASSERT_TRUE(hive->deleteValue(key, u"DUP", changeTime));
        EXPECT_FALSE(hive->serialize().contains("Dup"));
        EXPECT_EQ(key->value(u"dup"), nullptr);
    }
}

// Subkeys are found in any case, whether their parent has a few (scanned) or many (indexed),
// and a key with many gains new ones past the point where its table is made.
TEST(RegHive, SubkeysAreFoundInFewAndManyAlike)
{
    QByteArray text = head;
    for (int i = 0; i < 20; ++i)
        text += "\n[Many\\\\Sub" + QByteArray::number(i) + "] 1\n[Few\\\\Sub" +
                QByteArray::number(i % 3) + "] 1\n";
    const auto hive = RegHive::parse(text);
    ASSERT_FALSE(hive->isDamaged());
    EXPECT_EQ(hive->findKey({"MANY"})->subkeyCount(), 20);
    EXPECT_EQ(hive->findKey({"few"})->subkeyCount(), 3);
    for (int i = 0; i < 20; ++i) {
        EXPECT_NE(hive->findKey({"many", QStringLiteral("SUB%1").arg(i)}), nullptr) << i;
        EXPECT_EQ(hive->findKey({"Few", QStringLiteral("sub%1").arg(i)}) != nullptr, i < 3) << i;
    }
    hive->createKey({"Many", "Sub20"}, changeTime);
    hive->createKey({"many", "SUB3"}, changeTime);
    EXPECT_EQ(hive->findKey({"Many"})->subkeyCount(), 21) << "an existing key is not made twice";
    EXPECT_EQ(hive->findKey({"Many"})->subkeys().front()->name(), "Sub0");
}
