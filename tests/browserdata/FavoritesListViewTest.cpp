#include "browserdata/FavoritesListView.h"
#include "PrefixBuilder.h"
#include "platform/desktop/MessageBeep.h"
#include "platform/shell/ShellLinkObject.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString favorites = QStringLiteral("drive_c/users/user/Favorites/");

QByteArray shortcut(const QByteArray &address)
{
    return "[InternetShortcut]\r\nURL=" + address + "\r\n";
}

class FavoritesListViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        win::setMessageBeepHandler([this] { ++beeps; });
        prefix.folder(favorites);
    }
    void TearDown() override { win::setMessageBeepHandler({}); }

    // A view over the prefix as the panel holds it, handing resolved addresses to `selected`.
    std::unique_ptr<TFavoritesListView> makeView(bool channels = false)
    {
        auto view = std::make_unique<TFavoritesListView>();
        view->Channels = channels;
        view->OnURLSelected = [this](QObject *, const QString &url) { selected << url; };
        view->Reload();
        return view;
    }

    QStringList captions(const TFavoritesListView &view) const
    {
        QStringList names;
        for (int i = 0; i < view.count(); ++i)
            names << view.caption(i);
        return names;
    }

    void press(TFavoritesListView &view, Qt::Key key) { QTest::keyClick(&view, key); }

    void select(TFavoritesListView &view, int row)
    {
        view.setCurrentIndex(view.model()->index(row, 0));
    }

    PrefixBuilder prefix;
    int beeps = 0;
    QStringList selected;
};

} // namespace

TEST_F(FavoritesListViewTest, BackspaceBeepsAtTheTopAndClimbsBackFromASubFolder)
{
    prefix.file(favorites + "News/Sport.url", shortcut("http://sport.example/"))
        .file(favorites + "News/Wetter.url", shortcut("http://wetter.example/"))
        .file(favorites + "example.url", shortcut("http://example.com/"));
    auto view = makeView();
    EXPECT_EQ(view->columnCaption(), "Favorites");
    ASSERT_EQ(captions(*view), (QStringList{"News", "example"}));
    EXPECT_EQ(view->currentIndex().row(), 0) << "the first entry is selected and focused";

    press(*view, Qt::Key_Backspace);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(view->Depth(), 0);

    press(*view, Qt::Key_Return);
    EXPECT_EQ(captions(*view), (QStringList{"Sport", "Wetter"}));
    EXPECT_EQ(view->Depth(), 1);
    EXPECT_EQ(view->currentIndex().row(), 0);

    select(*view, 1);
    press(*view, Qt::Key_Return);
    EXPECT_EQ(selected, QStringList{"http://wetter.example/"});
    EXPECT_EQ(view->LinkFileName, "C:\\users\\user\\Favorites\\News\\Wetter.url");
    EXPECT_EQ(captions(*view), (QStringList{"Sport", "Wetter"})) << "a link leaves the folder";

    press(*view, Qt::Key_Backspace);
    EXPECT_EQ(captions(*view), (QStringList{"News", "example"}));
    EXPECT_EQ(view->Depth(), 0);
    EXPECT_EQ(beeps, 1);

    view->Reload();
    EXPECT_EQ(view->LinkFileName, "C:\\users\\user\\Favorites\\News\\Wetter.url")
        << "the last link survives a rebuild";
}

TEST_F(FavoritesListViewTest, AnEmptyFolderSelectsNothingAndBeeps)
{
    auto view = makeView();
    EXPECT_EQ(view->count(), 0);
    EXPECT_FALSE(view->currentIndex().isValid());
    view->ActivateItem();
    EXPECT_TRUE(selected.isEmpty());
    press(*view, Qt::Key_Backspace);
    EXPECT_EQ(beeps, 1);
}

TEST_F(FavoritesListViewTest, AnUnreadableLinkIsStillHandedOnEmpty)
{
    prefix.file(favorites + "damaged.url", QByteArray("\0\xFF\xFE garbage", 11))
        .file(favorites + "not a link.lnk", "plain text");
    auto view = makeView();
    ASSERT_EQ(captions(*view), (QStringList{"damaged", "not a link"}));
    for (int row : {0, 1}) {
        select(*view, row);
        view->ActivateItem();
    }
    EXPECT_EQ(selected, (QStringList{"", ""}));
}

TEST_F(FavoritesListViewTest, AShellLinkGivesItsTargetOnlyWhileTheTargetIsThere)
{
    prefix.file("drive_c/docs/readme.txt", "text");
    ShellLinkObject link;
    ASSERT_TRUE(link.setPath("C:\\docs\\readme.txt"));
    ASSERT_TRUE(link.save("C:\\users\\user\\Favorites\\Readme.lnk"));
    auto view = makeView();
    ASSERT_EQ(captions(*view), QStringList{"Readme"});
    view->ActivateItem();
    ASSERT_TRUE(QFile::remove(prefix.path("drive_c/docs/readme.txt")));
    view->ActivateItem();
    EXPECT_EQ(selected, (QStringList{"C:\\docs\\readme.txt", ""}));
}

TEST_F(FavoritesListViewTest, ChannelsAreLeftOutUnlessAskedForAndResolveToTheirAddress)
{
    prefix.file(favorites + "Kanal/desktop.ini", "[Channel]\r\nCDFURL=http://kanal.example/cdf\r\n")
        .file(favorites + "Ordner/x.url", shortcut("http://x.example/"));
    EXPECT_EQ(captions(*makeView(false)), QStringList{"Ordner"});

    auto view = makeView(true);
    ASSERT_EQ(captions(*view), (QStringList{"Kanal", "Ordner"}));
    view->ActivateItem();
    EXPECT_EQ(selected, QStringList{"http://kanal.example/cdf"});
    EXPECT_EQ(view->Depth(), 0) << "a channel is not browsed like a folder";
}

// The shell gives type names in the ANSI code page; a localised one has letters beyond ASCII.
TEST_F(FavoritesListViewTest, LocalisedTypeNamesStillTellShortcutsAndChannels)
{
    prefix
        .file("system.reg", "WINE REGISTRY Version 2\n\n"
                            "[Software\\\\Classes\\\\ChannelShortcut]\n@=\"Kanalverknüpfung\"\n\n"
                            "[Software\\\\Classes\\\\InternetShortcut]\n@=\"Internetverknüpfung\"\n"
                            "\"NeverShowExt\"=\"\"\n")
        .file(favorites + "Kanal/desktop.ini", "[Channel]\r\nCDFURL=http://kanal.example/cdf\r\n")
        .file(favorites + "Seite.url", shortcut("http://seite.example/"));
    auto view = makeView();
    EXPECT_EQ(captions(*view), QStringList{"Seite"}) << "the channel is left out";
    select(*view, view->count() - 1);
    view->ActivateItem();
    EXPECT_EQ(selected, QStringList{"http://seite.example/"});
}

TEST_F(FavoritesListViewTest, TypeAheadFindsByPrefixWithAndWithoutWrapping)
{
    for (const char *name : {"Abend", "abc", "Beta", "Ab Ende"})
        prefix.file(favorites + name + ".url", shortcut("http://example.com/"));
    auto view = makeView();
    ASSERT_EQ(captions(*view), (QStringList{"Ab Ende", "abc", "Abend", "Beta"}));
    EXPECT_EQ(view->FindItem("ab", 1, true), 1);
    EXPECT_EQ(view->FindItem("aB", 3, true), 0) << "wraps to an earlier entry";
    EXPECT_EQ(view->FindItem("ab", 3, false), -1);
    EXPECT_EQ(view->FindItem("BET", 0, false), 3) << "the last entry is found like any other";
    EXPECT_EQ(view->FindItem("abe", 0, true), 2);

    QTest::keyClicks(view.get(), "be");
    EXPECT_EQ(view->currentIndex().row(), 3);
}

TEST_F(FavoritesListViewTest, AOneEntryFolderIsExaminedOnce)
{
    prefix.file(favorites + "single.url", shortcut("http://example.com/"));
    auto view = makeView();
    EXPECT_EQ(view->FindItem("zz", 0, true), -1);
    EXPECT_EQ(view->FindItem("zz", 1, true), -1);
    EXPECT_EQ(view->FindItem("SIN", 1, true), 0);
}

TEST_F(FavoritesListViewTest, IconsAreFetchedOnlyForTheRowsShown)
{
    for (int i = 0; i < 300; ++i)
        prefix.file(favorites + QString::asprintf("link %03d.url", i),
                    shortcut("http://e.example/"));
    auto view = makeView();
    view->resize(200, 300);
    view->show();
    view->grab();
    EXPECT_TRUE(view->iconFetched(0));
    EXPECT_FALSE(view->iconFetched(250));

    view->scrollTo(view->model()->index(250, 0));
    view->grab();
    EXPECT_TRUE(view->iconFetched(250));
    EXPECT_FALSE(view->iconFetched(100));
}
