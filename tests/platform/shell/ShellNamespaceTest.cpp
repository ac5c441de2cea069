#include "platform/shell/ShellNamespace.h"
#include "PrefixBuilder.h"
#include "TestEnvironment.h"
#include "browserdata/IEUtils.h"
#include "platform/shell/ShellExecute.h"
#include "platform/shell/ShellFileInfo.h"
#include "platform/shell/ShellLinkObject.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace win;

namespace {

const QString favorites = QStringLiteral("drive_c/users/user/Favorites");

QByteArray shortcut(const QByteArray &address)
{
    return "[InternetShortcut]\r\nURL=" + address + "\r\n";
}

// What Wine 8's shell answers for the same folder (tools/wine-checks listfavorites): folder
// flag, normal name, parsing name and type name of each item, in the shell's order.
QStringList listFavorites(DWORD flags = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS)
{
    std::shared_ptr<IShellFolder> desktop;
    LPITEMIDLIST root = nullptr;
    EXPECT_EQ(SHGetDesktopFolder(&desktop), S_OK);
    EXPECT_EQ(SHGetSpecialFolderLocation(CSIDL_FAVORITES, &root), S_OK);
    std::shared_ptr<IShellFolder> folder;
    EXPECT_EQ(desktop->BindToObject(root, &folder), S_OK);
    std::unique_ptr<IEnumIDList> entries;
    EXPECT_EQ(folder->EnumObjects(flags, &entries), S_OK);
    std::vector<LPITEMIDLIST> items;
    for (LPITEMIDLIST item = nullptr; entries->Next(&item) == S_OK;)
        items.push_back(item);
    std::sort(items.begin(), items.end(), [&](LPITEMIDLIST a, LPITEMIDLIST b) {
        return qint16(quint16(folder->CompareIDs(0, a, b))) < 0;
    });
    QStringList lines;
    for (LPITEMIDLIST item : items) {
        ULONG attributes = SFGAO_FOLDER;
        folder->GetAttributesOf(item, &attributes);
        LPITEMIDLIST full = ItemListJoin(root, item);
        SHFILEINFOA info;
        SHGetFileInfoA(full, 0, &info, sizeof info, SHGFI_PIDL | SHGFI_TYPENAME);
        lines << QStringList{attributes & SFGAO_FOLDER ? "F" : "-", ItemDisplayName(*folder, item),
                             ItemParsingName(*folder, item), QString::fromLatin1(info.szTypeName)}
                     .join('\t');
        ItemListFree(full);
        ItemListFree(item);
    }
    ItemListFree(root);
    return lines;
}

} // namespace

TEST(ShellNamespace, FavoritesListAsWineListsThem)
{
    PrefixBuilder prefix;
    prefix.file(favorites + "/b.url", shortcut("http://b.example/"))
        .file(favorites + "/A.url", shortcut("http://a.example/"))
        .file(favorites + "/Y.url", shortcut("http://y.example/"))
        .file(favorites + "/Zeug/c.url", shortcut("http://c.example/"))
        .file(favorites + "/notes.txt", "text")
        .file(favorites + "/x.zzz", "")
        .file(favorites + "/x.lnk", "")
        .file(favorites + "/desktop.ini", "")
        .file(favorites + "/.dot.url", shortcut("http://dot.example/"));
    IMalloc *allocator = nullptr;
    ASSERT_EQ(SHGetMalloc(&allocator), S_OK);
    const long blocksBefore = allocator->liveBlocks();

    const QString at = QStringLiteral("C:\\users\\user\\Favorites\\");
    EXPECT_EQ(
        listFavorites(),
        (QStringList{"F\tZeug\t" + at + "Zeug\tFolder", "-\tA\t" + at + "A.url\tInternet Shortcut",
                     "-\tb\t" + at + "b.url\tInternet Shortcut",
                     "-\tdesktop.ini\t" + at + "desktop.ini\tini file",
                     "-\tnotes.txt\t" + at + "notes.txt\ttxt file",
                     "-\tx\t" + at + "x.lnk\tShortcut", "-\tx.zzz\t" + at + "x.zzz\tzzz file",
                     "-\tY\t" + at + "Y.url\tInternet Shortcut"}));
    EXPECT_EQ(allocator->liveBlocks(), blocksBefore) << "every list went back to the allocator";
    EXPECT_EQ(listFavorites(SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN).first(),
              "-\t.dot\t" + at + ".dot.url\tInternet Shortcut");
}

TEST(ShellNamespace, TypesComeFromTheClassesOfThePrefix)
{
    PrefixBuilder prefix;
    prefix.file(favorites + "/Kanal/desktop.ini", "[Channel]\r\nCDFURL=http://kanal.example/\r\n")
        .file(favorites + "/Seite.url", shortcut("http://seite.example/"));
    // Without classes the shell keeps its own names; a prefix's classes rename them.
    EXPECT_EQ(listFavorites(),
              (QStringList{"F\tKanal\tC:\\users\\user\\Favorites\\Kanal\tChannel Shortcut",
                           "-\tSeite\tC:\\users\\user\\Favorites\\Seite.url\tInternet Shortcut"}));
    prefix.file("system.reg", "WINE REGISTRY Version 2\n\n"
                              "[Software\\\\Classes\\\\.url]\n@=\"Netzverweis\"\n\n"
                              "[Software\\\\Classes\\\\ChannelShortcut]\n@=\"Kanalverweis\"\n\n"
                              "[Software\\\\Classes\\\\Netzverweis]\n@=\"Internetverknüpfung\"\n");
    EXPECT_EQ(
        listFavorites(),
        (QStringList{"F\tKanal\tC:\\users\\user\\Favorites\\Kanal\tKanalverweis",
                     "-\tSeite.url\tC:\\users\\user\\Favorites\\Seite.url\tInternetverknüpfung"}))
        << "a class without NeverShowExt shows the extension";
}

TEST(ShellNamespace, MissingFavoritesFolderIsAFailure)
{
    PrefixBuilder prefix(PrefixBuilder::Start::Sample);
    LPITEMIDLIST root = nullptr;
    EXPECT_EQ(SHGetSpecialFolderLocation(CSIDL_FAVORITES, &root), E_FAIL);
    EXPECT_EQ(root, nullptr);
}

TEST(ShellOpen, AShortcutOpensOnlyWebAndMailAddresses)
{
    PrefixBuilder prefix;
    prefix.file(favorites + "/web.url", shortcut("https://web.example/a b"))
        .file(favorites + "/mail.url", shortcut("mailto:someone@example.org"))
        .file(favorites + "/local.url", shortcut("file:///etc/passwd"))
        .file(favorites + "/script.url", shortcut("javascript:alert(1)"))
        .file(favorites + "/program.url", shortcut("C:\\windows\\system32\\cmd.exe"))
        .file(favorites + "/empty.url", "[InternetShortcut]\r\n")
        .file(favorites + "/page.html", "<p>");
    const QString at = QStringLiteral("C:\\users\\user\\Favorites\\");
    const auto plan = [&](const QString &name) { return planShellOpen(at + name); };

    EXPECT_EQ(plan("web.url").action, ShellOpenPlan::OpenAddress);
    EXPECT_EQ(plan("web.url").target, "https://web.example/a b");
    EXPECT_EQ(plan("mail.url").action, ShellOpenPlan::OpenAddress);
    for (const char *refused : {"local.url", "script.url", "program.url", "empty.url", "gone.url"})
        EXPECT_EQ(plan(refused).action, ShellOpenPlan::Refuse) << refused;
    EXPECT_TRUE(plan("local.url").reason.contains("file:///etc/passwd"));
    EXPECT_EQ(plan("page.html").action, ShellOpenPlan::OpenFile);
    EXPECT_EQ(plan("page.html").target, prefix.path(favorites + "/page.html"));
    EXPECT_EQ(planShellOpen("http://www.example.com/").action, ShellOpenPlan::OpenAddress);

    // A shortcut opens what it leads to, under the same rules, and never starts a program.
    prefix.file("drive_c/windows/system32/cmd.exe", "MZ");
    const auto shortcutTo = [&](const QString &name, const QString &target) {
        ShellLinkObject link;
        ASSERT_TRUE(link.setPath(target));
        ASSERT_TRUE(link.save(at + name));
    };
    shortcutTo("page.lnk", at + "page.html");
    shortcutTo("web.lnk", at + "web.url");
    shortcutTo("script.lnk", at + "script.url");
    shortcutTo("program.lnk", "C:\\windows\\system32\\cmd.exe");
    shortcutTo("gone.lnk", at + "gone.html");
    shortcutTo("chain.lnk", at + "page.lnk");
    EXPECT_EQ(plan("page.lnk").action, ShellOpenPlan::OpenFile);
    EXPECT_EQ(plan("page.lnk").target, prefix.path(favorites + "/page.html"));
    EXPECT_EQ(plan("web.lnk").target, "https://web.example/a b");
    for (const char *refused : {"script.lnk", "program.lnk", "gone.lnk", "chain.lnk"})
        EXPECT_EQ(plan(refused).action, ShellOpenPlan::Refuse) << refused;
}
