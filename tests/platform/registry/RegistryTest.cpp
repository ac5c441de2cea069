#include "platform/registry/Registry.h"
#include "PrefixBuilder.h"
#include "platform/prefix/ReadOnlyNotice.h"
#include "platform/registry/KeyValues.h"
#include "platform/registry/RegHive.h"
#include "platform/registry/TRegistry.h"
#include "platform/registry/UserStrings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <QScopeGuard>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace win;

namespace {

const QString typedUrls = QStringLiteral("\\Software\\Microsoft\\Internet Explorer\\TypedURLs");
const QString shellFolders =
    QStringLiteral("\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");

std::string str(const QByteArray &bytes)
{
    return bytes.toStdString();
}

// The text of user.reg between the key line of `keyPath` and the next key.
QByteArray block(const QByteArray &file, const QByteArray &keyLineStart)
{
    const qsizetype start = file.indexOf("\n" + keyLineStart);
    if (start < 0)
        return {};
    const qsizetype end = file.indexOf("\n[", start + 1);
    return file.mid(start + 1, end < 0 ? -1 : end - start);
}

QStringList valueNames(const QString &key)
{
    TRegistry reg;
    QStringList names;
    if (reg.OpenKey(key, true))
        reg.GetValueNames(names);
    return names;
}

} // namespace

TEST(Registry, ValueNamesMatchWhateverTheirCase)
{
    PrefixBuilder prefix;
    EXPECT_EQ(ReadUserString(shellFolders, "RECENT"),
              "C:\\users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Recent");
    EXPECT_EQ(
        ReadUserString(shellFolders.toUpper(), "startup"),
        "C:\\users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp");
    WriteUserString(typedUrls, "URL1", "http://new.example/");
    EXPECT_EQ(valueNames(typedUrls), (QStringList{"url1", "url2"}));
    EXPECT_TRUE(prefix.userReg().contains("\n\"url1\"=\"http://new.example/\"\n"));
}

TEST(Registry, WritesStringsInWineSyntax)
{
    PrefixBuilder prefix;
    const QByteArray before = prefix.userReg();
    WriteUserString(typedUrls, "url3", u"http://x/?q=\"a\"\\b\u00fc\u20ac"_qs);
    const QByteArray after = prefix.userReg();
    const QByteArray oldBlock =
        block(before, "[Software\\\\Microsoft\\\\Internet Explorer\\\\TypedURLs]");
    const QByteArray newBlock =
        block(after, "[Software\\\\Microsoft\\\\Internet Explorer\\\\TypedURLs]");
    EXPECT_TRUE(newBlock.endsWith("\"url2\"=\"news.example.org\"\n"
                                  "\"url3\"=\"http://x/?q=\\\"a\\\"\\\\b\\xfc\\x20ac\"\n\n"))
        << newBlock.constData();
    EXPECT_TRUE(newBlock.contains("\n#time=")) << newBlock.constData();
    // Outside the changed block, nothing moved.
    QByteArray rest = after;
    rest.replace(newBlock, oldBlock);
    EXPECT_EQ(str(rest), str(before));
    EXPECT_EQ(ReadUserString(typedUrls, "URL3"), u"http://x/?q=\"a\"\\b\u00fc\u20ac"_qs);
}

TEST(Registry, DeletingAValueRemovesExactlyItsLine)
{
    PrefixBuilder prefix;
    const QByteArray before = prefix.userReg();
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(typedUrls, true));
    EXPECT_TRUE(reg.DeleteValue("URL1"));
    EXPECT_FALSE(reg.DeleteValue("url1"));
    reg.CloseKey();
    const QByteArray after = prefix.userReg();
    const QByteArray newBlock =
        block(after, "[Software\\\\Microsoft\\\\Internet Explorer\\\\TypedURLs]");
    EXPECT_TRUE(newBlock.endsWith("\n\"url2\"=\"news.example.org\"\n\n")) << newBlock.constData();
    EXPECT_EQ(after.size(),
              before.size() - qsizetype(strlen("\"url1\"=\"http://www.example.com/\"\n")));
}

TEST(Registry, OpeningAMissingKeyCreatesItEmpty)
{
    PrefixBuilder prefix;
    EXPECT_EQ(
        ReadUserString(
            "\\Software\\Microsoft\\Internet Explorer\\Default HTML Editor\\shell\\edit\\command",
            ""),
        "");
    const QByteArray created =
        block(prefix.userReg(), "[Software\\\\Microsoft\\\\Internet Explorer\\\\Default HTML "
                                "Editor\\\\shell\\\\edit\\\\command] ");
    ASSERT_FALSE(created.isEmpty());
    const QList<QByteArray> lines = created.split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines[1].startsWith("#time=1")) << created.constData();
    EXPECT_EQ(lines.size(), 4) << created.constData(); // key, #time, blank, end
    // Sorted among its siblings: before "Main".
    EXPECT_LT(prefix.userReg().indexOf("Default HTML Editor"),
              prefix.userReg().indexOf("[Software\\\\Microsoft\\\\Internet Explorer\\\\Main]"));

    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, typedUrls, KEY_ALL_ACCESS, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, u"\\No\\Such\\Key", KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
}

TEST(Registry, NonStringValueRaisesForTheObjectAndReadsEmptyForTheHelper)
{
    PrefixBuilder prefix;
    prefix.rawValue(typedUrls, "url2", REG_DWORD, QByteArray("\1\0\0\0", 4));
    prefix.value(typedUrls, "url3", "after");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(typedUrls, true));
    QStringList names;
    reg.GetValueNames(names);
    ASSERT_EQ(names, (QStringList{"url1", "url2", "url3"}));
    EXPECT_EQ(reg.ReadString("url1"), "http://www.example.com/");
    EXPECT_THROW(reg.ReadString("url2"), ERegistryException);
    EXPECT_EQ(reg.ReadString("missing"), "");
    EXPECT_EQ(ReadUserString(typedUrls, "url2"), "");
    EXPECT_EQ(ReadUserString(typedUrls, "url3"), "after");

    prefix.rawValue(typedUrls, "exp", REG_EXPAND_SZ, QByteArray("%\0X\0%\0\0\0a\0\0\0", 12));
    EXPECT_EQ(reg.ReadString("EXP"), "%X%"); // cut at the first NUL, not expanded
}

TEST(Registry, QueriesReportTypeSizeAndData)
{
    PrefixBuilder prefix;
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, typedUrls, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueEx(key, u"url2", &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, DWORD((QString("news.example.org").size() + 1) * 2));
    char small[4];
    DWORD smallSize = sizeof small;
    EXPECT_EQ(RegQueryValueEx(key, u"url2", nullptr, small, &smallSize), ERROR_MORE_DATA);
    EXPECT_EQ(smallSize, size);
    RegKeyInfo info;
    ASSERT_EQ(RegQueryInfoKey(key, &info), ERROR_SUCCESS);
    EXPECT_EQ(info.values, 2u);
    EXPECT_EQ(info.maxValueNameLen, 4u);
    EXPECT_EQ(info.maxValueLen, DWORD(QString("http://www.example.com/").size() + 1) * 2);
    QString name;
    EXPECT_EQ(RegEnumValue(key, 1, &name, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(name, "url2");
    EXPECT_EQ(RegEnumValue(key, 2, &name, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegSetValueEx(key, u"x", REG_SZ, "a\0", 2), ERROR_ACCESS_DENIED); // read access
    RegCloseKey(key);
    EXPECT_EQ(RegQueryValueEx(key, u"url2", &type, nullptr, &size), ERROR_INVALID_HANDLE);
}

TEST(Registry, NothingIsWrittenWhileWineRuns)
{
    PrefixBuilder prefix;
    int notices = 0;
    ReadOnlyNotice::setHandler([&](const QString &root) {
        EXPECT_EQ(root, prefix.root());
        ++notices;
    });
    const auto resetHandler = qScopeGuard([] { ReadOnlyNotice::setHandler({}); });
    prefix.holdServerLock();
    const QByteArray before = prefix.userReg();
    WriteUserString(typedUrls, "url1", "changed");
    EXPECT_EQ(ReadUserString("\\New\\Key", "x"), "");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(typedUrls, true)); // an existing key opens
    EXPECT_FALSE(reg.DeleteValue("url2"));
    EXPECT_THROW(reg.WriteString("url3", "x"), ERegistryException);
    EXPECT_FALSE(reg.OpenKey("\\Another\\New\\Key", true));
    EXPECT_EQ(str(prefix.userReg()), str(before));
    EXPECT_EQ(ReadUserString(typedUrls, "url1"), "http://www.example.com/");
    EXPECT_EQ(notices, 1);

    prefix.releaseServerLock(); // Wine has ended: writing works again
    WriteUserString(typedUrls, "url1", "changed");
    EXPECT_EQ(ReadUserString(typedUrls, "url1"), "changed");
}

TEST(Registry, FailedWriteLeavesTheOldFileAndMemoryIntact)
{
    PrefixBuilder prefix;
    const QByteArray before = prefix.userReg();
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096; // far less than the hive: the write of the new file fails midway
    setrlimit(RLIMIT_FSIZE, &small);
    WriteUserString(typedUrls, "url1", "changed");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_DFL);

    EXPECT_EQ(str(prefix.userReg()), str(before));
    EXPECT_EQ(ReadUserString(typedUrls, "url1"), "http://www.example.com/");
    // No temporary file left; the write lock may have named the server's folder, as Wine does.
    QStringList files = QDir(prefix.root()).entryList(QDir::Files | QDir::Hidden);
    files.removeAll(QStringLiteral("wineserver"));
    EXPECT_EQ(files.size(), 2) << files.join(' ').toStdString();
}

TEST(Registry, AChangeMadeMeanwhileIsKept)
{
    PrefixBuilder prefix;
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(typedUrls, true));
    EXPECT_EQ(reg.ReadString("url1"), "http://www.example.com/");
    prefix.value(typedUrls, "url9", "written by Wine"); // behind our back
    reg.WriteString("url3", "ours");
    EXPECT_EQ(win::RegFlushKey(reg.CurrentKey()), win::ERROR_SUCCESS);
    EXPECT_TRUE(prefix.userReg().contains("\"url9\"=\"written by Wine\"\n"));
    EXPECT_TRUE(prefix.userReg().contains("\"url3\"=\"ours\"\n"));
    QStringList names;
    reg.GetValueNames(names);
    EXPECT_EQ(names, (QStringList{"url1", "url2", "url3", "url9"}));
}

TEST(Registry, DamagedHiveReadsEmptyAndIsNeverWritten)
{
    PrefixBuilder prefix;
    const QByteArray damaged = "WINE REGISTRY Version 2\n[Software\\\\Microsoft\\\\Internet "
                               "Explorer\\\\TypedURLs]\n\"url1\"=hex:zz\n";
    prefix.writeUserReg(damaged);
    EXPECT_EQ(valueNames(typedUrls), QStringList());
    WriteUserString(typedUrls, "url1", "x");
    EXPECT_EQ(prefix.userReg(), damaged);
}

TEST(Registry, MissingHiveIsCreatedOnTheFirstWrite)
{
    PrefixBuilder prefix(PrefixBuilder::Start::Bare);
    prefix.file("system.reg", "WINE REGISTRY Version 2\n;; x\n\n#arch=win32\n");
    WriteUserString("\\Software\\Test", "name", "value");
    EXPECT_EQ(str(prefix.userReg()).substr(0, 24), "WINE REGISTRY Version 2\n");
    EXPECT_TRUE(prefix.userReg().contains("\n#arch=win32\n\n[Software\\\\Test] "));
    EXPECT_EQ(ReadUserString("\\Software\\Test", "NAME"), "value");
}

TEST(Registry, ClassesRootIsReadOnly)
{
    PrefixBuilder prefix;
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, u"lnkfile", KEY_READ, &key), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueEx(key, u"IsShortcut", nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueEx(key, u"x", REG_SZ, "a\0", 2), ERROR_ACCESS_DENIED);
    RegCloseKey(key);
    EXPECT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, u"newclass", KEY_ALL_ACCESS, &key),
              ERROR_ACCESS_DENIED);
}

// A clean-up is one change set: the hive is saved once, and every line outside the key it
// cleaned stays byte for byte.
TEST(Registry, ACleanUpOfSeveralValuesSavesTheHiveOnce)
{
    PrefixBuilder prefix;
    for (int i = 3; i <= 25; ++i)
        prefix.value(typedUrls, QStringLiteral("url%1").arg(i),
                     QStringLiteral("http://%1.example/").arg(i));
    const QByteArray before = prefix.userReg();
    const int saves = win::RegSaveCount();
    const ValueDeletion deletion = DeleteAllValues(typedUrls);
    EXPECT_TRUE(deletion.complete);
    EXPECT_EQ(deletion.names.size(), 25);
    EXPECT_EQ(win::RegSaveCount(), saves + 1);

    const QByteArray header = "[Software\\\\Microsoft\\\\Internet Explorer\\\\TypedURLs]";
    const QByteArray after = prefix.userReg();
    const qsizetype at = before.indexOf(header);
    ASSERT_GE(at, 0);
    EXPECT_EQ(after.left(at), before.left(at));
    const qsizetype beforeEnd = before.indexOf("\n\n", at);
    const qsizetype afterEnd = after.indexOf("\n\n", at);
    EXPECT_EQ(after.mid(afterEnd), before.mid(beforeEnd));
    EXPECT_FALSE(after.mid(at, afterEnd - at).contains("\"url"));
}

// Killed at any moment of its saves, a writer leaves a hive that Wine's format still reads: the
// old file or the new one, never a part.
TEST(Registry, AKillDuringSavesNeverTearsTheHive)
{
    PrefixBuilder prefix;
    QElapsedTimer clock;
    clock.start();
    for (int round = 0; round < 12 && clock.elapsed() < 4000; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i) {
                TRegistry reg;
                if (reg.OpenKey(typedUrls, true))
                    reg.WriteString(QStringLiteral("big%1").arg(i % 7),
                                    QString(20000 + 3000 * (i % 5), QLatin1Char('x')));
            }
        }
        usleep(useconds_t(2000 + QRandomGenerator::global()->bounded(25000)));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const auto hive = RegHive::parse(prefix.userReg());
        ASSERT_FALSE(hive->isDamaged()) << "round " << round;
        ASSERT_TRUE(hive->findKey(typedUrls.mid(1).split('\\')));
    }
}
