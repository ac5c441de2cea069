#include "panels/BrowsercachePanel.h"
#include "Controls.h"
#include "ModalAnswerer.h"
#include "PrefixBuilder.h"
#include "app/Automations.h"
#include "app/WindowSetFixture.h"
#include "browserdata/IECache.h"
#include "controls/ClickLabel.h"
#include "dialogs/u_ShowMessage2.h"
#include "i18n/Qutrans.h"
#include "platform/prefix/ReadOnlyNotice.h"
#include "platform/urlcache/IndexDatLayout.h"
#include "platform/urlcache/IndexFile.h"
#include "platform/urlcache/UrlCache.h"
#include "platform/urlcache/WinInetCache.h"

#include <QDir>
#include <QListWidget>
#include <QTest>
#include <memory>

namespace {

QString message(int number)
{
    return TShowMessage2Form::displayText(Qutrans::get(number));
}

QString report(int kb)
{
    return TShowMessage2Form::displayText(Qutrans::get(119) + QLatin1Char(' ') +
                                          QString::number(kb) + "kb\r" + Qutrans::get(120));
}

QString countLine(int n)
{
    return Qutrans::get(121) + QLatin1Char(' ') + QString::number(n);
}

QString sizeLine(int kb)
{
    return Qutrans::get(122) + QString::number(kb) + QStringLiteral("kb");
}

class BrowsercachePanelTest : public PrefixWindowTest
{
protected:
    // A content entry whose local file holds `bytes` bytes and ends in `extension`.
    void cached(const QByteArray &url, const QByteArray &extension, int bytes)
    {
        urlcache::CommitRequest r;
        r.url = url;
        r.extension = extension;
        r.fileContent = QByteArray(bytes, 'x');
        r.headerInfo = "HTTP/1.1 200 OK\r\n\r\n~U:user\r\n";
        ASSERT_TRUE(urlcache::sharedUrlCache()->commitEntry(r)) << url.constData();
    }

    TBrowsercachePanel *panel() const { return Form1->browsercachePanel(); }

    void enterPanel() { emit control<QToolButton>(Form1, "SpeedButton3")->clicked(); }

    // Enough entries that emptying them takes a good many steps.
    void manyCached(int count)
    {
        const wininet::UrlCacheBatch oneFill;
        for (int i = 0; i < count; ++i)
            cached("http://e.example/page" + QByteArray::number(i) + ".html", "html", 10);
    }

    // The local file of a listed entry.
    static QString localFile(const QString &url)
    {
        TIECache cache;
        cache.GetEntryInfo(url);
        return cache.Entry.LocalFileName;
    }

    void empty() { emit panel()->findChild<ClickLabel *>(QStringLiteral("Label41"))->clicked(); }
};

TEST_F(BrowsercachePanelTest, BeforeTheFirstVisitTheLinesKeepTheirStoredCaptions)
{
    EXPECT_EQ(panel()->countLine(), QStringLiteral("Gesamtzahl:"));
    EXPECT_EQ(panel()->sizeLine(), QStringLiteral("Gesamtgröße:"));
}

TEST_F(BrowsercachePanelTest, EmptyCacheShowsZeroLinesAndTheBlankPreview)
{
    usePrefix(PrefixBuilder::Start::Minimal);
    enterPanel();
    EXPECT_TRUE(panel()->listed().isEmpty());
    EXPECT_EQ(panel()->countLine(), countLine(0));
    EXPECT_EQ(panel()->sizeLine(), sizeLine(0));
    EXPECT_EQ(panel()->previewLocation(), "about:blank");
}

// Wine's own entries: listed in the enumerator's order (the hash items'), 51 bytes giving 0 kb,
// the first previewed at once.
TEST_F(BrowsercachePanelTest, ListsWineEntriesWithCountSizeAndPreview)
{
    usePrefix(PrefixBuilder::Start::Sample);
    enterPanel();
    EXPECT_EQ(panel()->listed(), (QStringList{"http://news.example.org/story.htm?id=7",
                                              "http://www.example.com/logo.gif",
                                              "http://www.example.com/index.html"}));
    EXPECT_EQ(panel()->countLine(), countLine(3));
    EXPECT_EQ(panel()->sizeLine(), sizeLine(0));
    EXPECT_TRUE(panel()->previewLocation().endsWith("/story[0].htm"));
    panel()->selectLine(1);
    EXPECT_TRUE(panel()->previewLocation().endsWith("/logo[0].gif"));
}

// ".htm", ".gif" or ".jpg" anywhere in the local path, case-sensitively; any other entry clears
// the preview instead of leaving the page selected before it on show.
TEST_F(BrowsercachePanelTest, PreviewFollowsTheSubstringRule)
{
    usePrefix(PrefixBuilder::Start::Minimal);
    cached("http://e.example/page.html", "html", 10);
    for (const char *ext : {"HTM", "png", "css", "jpeg"})
        cached(QByteArray("http://e.example/other.") + ext, ext, 10);
    enterPanel();
    ASSERT_EQ(panel()->listed().size(), 5);
    const int page = int(panel()->listed().indexOf("http://e.example/page.html"));
    for (int row = 0; row < 5; ++row) {
        panel()->selectLine(page);
        ASSERT_TRUE(panel()->previewLocation().endsWith("/page[0].html"));
        panel()->selectLine(row);
        if (row == page)
            EXPECT_TRUE(panel()->previewLocation().endsWith("/page[0].html"));
        else
            EXPECT_EQ(panel()->previewLocation(), "about:blank")
                << panel()->listed()[row].toStdString();
    }
}

// The selection moves by a click or by the arrow keys, and the preview goes with it.
TEST_F(BrowsercachePanelTest, PreviewFollowsTheSelectionByMouseAndKeyboard)
{
    usePrefix(PrefixBuilder::Start::Sample);
    enterPanel();
    ASSERT_EQ(panel()->listed().size(), 3);
    QListWidget *list = control<QListWidget>(panel(), "ListBox2");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(2)).center());
    EXPECT_TRUE(panel()->previewLocation().endsWith("/index[0].html"));
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_TRUE(panel()->previewLocation().endsWith("/logo[0].gif"));
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_TRUE(panel()->previewLocation().endsWith("/story[0].htm"));
}

TEST_F(BrowsercachePanelTest, GifInAFolderNamePreviewsAnyFile)
{
    usePrefix(PrefixBuilder::Start::Minimal);
    const QString gifFolder = prefix->root() + "/cache.gif";
    QDir().mkpath(gifFolder);
    wininet::setUrlCacheEnvironment(std::make_shared<urlcache::FixedUrlCacheEnvironment>(
        urlcache::ShellCacheFolders{gifFolder, QString(), QString()}, "user", prefix->root()));
    cached("http://e.example/style.css", "css", 10);
    enterPanel();
    ASSERT_EQ(panel()->listed().size(), 1);
    EXPECT_TRUE(panel()->previewLocation().endsWith("/style[0].css"));
}

// The folders that hold the prefix are no part of the path the browser knows.
TEST_F(BrowsercachePanelTest, APrefixInAFolderNamedLikeAPageIsNoPreview)
{
    usePrefix(PrefixBuilder::Start::Minimal);
    const QString games = prefix->root() + "/games.htm";
    PrefixBuilder::copySampleTo(games);
    qputenv("WINEPREFIX", QFile::encodeName(games));
    wininet::setUrlCacheEnvironment(nullptr);
    cached("http://e.example/style.css", "css", 10);
    enterPanel();
    const int style = int(panel()->listed().indexOf("http://e.example/style.css"));
    ASSERT_GE(style, 0);
    panel()->selectLine(style);
    EXPECT_EQ(panel()->previewLocation(), "about:blank");
    panel()->selectLine(int(panel()->listed().indexOf("http://news.example.org/story.htm?id=7")));
    EXPECT_TRUE(panel()->previewLocation().endsWith("/story[0].htm"));
}

// The report adds the sizes of what stayed to the total of the last filling; the size line then
// reads 0 kb while the count line counts what stayed. A second emptying reports only what stays
// after it.
TEST_F(BrowsercachePanelTest, EmptyingReportsAndCountsWhatStayed)
{
    usePrefix(PrefixBuilder::Start::Minimal);
    cached("http://e.example/kept.html", "html", 3000);
    cached("http://e.example/b.html", "html", 2000);
    cached("http://e.example/c.jpg", "jpg", 5000);
    enterPanel();
    EXPECT_EQ(panel()->sizeLine(), sizeLine(10000 / 1024));
    {
        // The first record reaches over the second now: it must not be deleted.
        auto file = urlcache::IndexFile::open(
            urlcache::sharedUrlCache()->container(urlcache::ContainerKind::Content).indexPath());
        urlcache::IndexLock lock(*file, true);
        const auto kept = lock.view()->find("http://e.example/kept.html");
        const auto next = lock.view()->find("http://e.example/b.html");
        ASSERT_TRUE(kept && next);
        urlcache::layout::writeU32(file->writableData() + kept->offset + 4,
                                   (next->offset - kept->offset) / 0x80 + 1);
    }
    ModalAnswerer answerer;
    empty();
    EXPECT_EQ(answerer.answered(), QStringList{report((10000 + 3000) / 1024)});
    EXPECT_EQ(panel()->listed(), QStringList{"http://e.example/kept.html"});
    EXPECT_EQ(panel()->countLine(), countLine(1));
    EXPECT_EQ(panel()->sizeLine(), sizeLine(0));
    EXPECT_EQ(panel()->previewLocation(), "about:blank");
    EXPECT_TRUE(Form1->isVisible());

    empty();
    EXPECT_EQ(answerer.answered(), (QStringList{report(13000 / 1024), report(3000 / 1024)}));
}

// A busy window that stands still for the whole emptying looks hung: timers run, and the window
// paints, while the entries go.
TEST_F(BrowsercachePanelTest, EventsComeThroughWhileTheEntriesGo)
{
    usePrefix(PrefixBuilder::Start::Minimal);
    manyCached(3000);
    enterPanel();
    // The emptying deletes in the listed order: between the first and the last it is at work.
    const QString first = localFile(panel()->listed().constFirst());
    const QString last = localFile(panel()->listed().constLast());
    ASSERT_TRUE(QFileInfo::exists(first) && QFileInfo::exists(last));
    int ticksAmidDeletion = 0;
    QTimer ticks;
    ticks.setInterval(10);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        ticksAmidDeletion += !QFileInfo::exists(first) && QFileInfo::exists(last);
    });
    ticks.start();
    ModalAnswerer answerer;
    empty();
    EXPECT_GE(ticksAmidDeletion, 2);
    EXPECT_FALSE(QFileInfo::exists(last));
}

// A click that comes through while the emptying runs starts no second one inside it.
TEST_F(BrowsercachePanelTest, ASecondClickDuringTheEmptyingDoesNothing)
{
    usePrefix(PrefixBuilder::Start::Minimal);
    manyCached(300);
    enterPanel();
    ModalAnswerer answerer;
    int clicks = 0;
    QTimer again;
    again.setInterval(0);
    QObject::connect(&again, &QTimer::timeout, [&] {
        if (answerer.answered().isEmpty()) {
            ++clicks;
            empty();
        }
    });
    again.start();
    empty();
    EXPECT_GE(clicks, 1);
    EXPECT_EQ(answerer.answered(), QStringList{report(3000 / 1024)});
    EXPECT_TRUE(panel()->listed().isEmpty());
}

TEST_F(BrowsercachePanelTest, EmptyingUnderWineClaimsNothing)
{
    usePrefix(PrefixBuilder::Start::Sample).holdServerLock();
    enterPanel();
    ModalAnswerer answerer;
    empty();
    EXPECT_EQ(answerer.answered(), QStringList{message(196)});
    EXPECT_EQ(panel()->listed().size(), 3);
    empty();
    EXPECT_EQ(answerer.answered(), (QStringList{message(196), message(196)}));
}

// A damaged container lists nothing and stays as it is: emptying it was reported as done.
TEST_F(BrowsercachePanelTest, EmptyingADamagedContainerSaysItDidNotFinish)
{
    usePrefix(PrefixBuilder::Start::Sample);
    const QString index =
        urlcache::sharedUrlCache()->container(urlcache::ContainerKind::Content).indexPath();
    ASSERT_TRUE(QFile::resize(index, 0x4000));
    const auto bytes = [&] {
        QFile file(index);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = bytes();
    enterPanel();
    ModalAnswerer answerer;
    empty();
    EXPECT_EQ(answerer.answered(), QStringList{message(197)});
    EXPECT_EQ(bytes(), before);
}

TEST_F(BrowsercachePanelTest, UnattendedEmptyingLeavesCookiesAndHistory)
{
    usePrefix(PrefixBuilder::Start::Sample);
    urlcache::CommitRequest visit;
    visit.url = "Visited: user@http://www.example.com/";
    visit.withFile = false;
    ASSERT_TRUE(urlcache::sharedUrlCache()->commitEntry(visit));
    ModalAnswerer answerer;
    EmptyBrowserCache();
    enterPanel();
    EXPECT_TRUE(panel()->listed().isEmpty());
    EXPECT_TRUE(answerer.answered().isEmpty());
    const QString windows = prefix->profile() + "/AppData/Local/Microsoft/Windows";
    EXPECT_EQ(QDir(windows + "/INetCookies").entryList({"*.txt"}, QDir::Files).size(), 2);
    EXPECT_TRUE(urlcache::sharedUrlCache()
                    ->container(urlcache::ContainerKind::History)
                    .file()
                    ->lock(false)
                    ->find("Visited: user@http://www.example.com/"));
    urlcache::sharedUrlCache()->container(urlcache::ContainerKind::History).file()->unlock();
}

} // namespace
