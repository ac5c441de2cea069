#include "Controls.h"
#include "FileBytes.h"
#include "ModalAnswerer.h"
#include "PrefixBuilder.h"
#include "app/Automations.h"
#include "app/WindowSetFixture.h"
#include "browserdata/IECache.h"
#include "dialogs/u_beschaeftigt.h"
#include "dialogs/u_info.h"
#include "i18n/Qutrans.h"
#include "platform/kernel/FileTime.h"
#include "platform/multimedia/Multimedia.h"
#include "platform/prefix/ReadOnlyNotice.h"
#include "platform/urlcache/PrefixUrlCacheEnvironment.h"
#include "platform/urlcache/UrlCache.h"
#include "platform/urlcache/WinInetCache.h"
#include "privacy/CookieTimeText.h"
#include "privacy/u_cookieForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

// The window shows dates in the system's format. The test names the system's locale itself,
// before Qt first reads it, so that it expects the same under any LANG or LC_ALL of the run.
[[maybe_unused]] const bool systemLocaleIsGerman = qputenv("LC_ALL", "de_DE.UTF-8");

const QString FirstCookie = QStringLiteral("Cookie:user@www.example.com/");
const QString SecondCookie = QStringLiteral("Cookie:user@shop.example.net/");
const QString CookiesFolder = QStringLiteral("AppData/Local/Microsoft/Windows/INetCookies");

QString line(int textNumber, const QString &value)
{
    return Qutrans::get(textNumber) + QLatin1Char(' ') + value;
}

class CookieWindowTest : public WindowSetTest
{
protected:
    void SetUp() override
    {
        // Left in place: the test processes of this folder may run side by side.
        QFile sound(CompanionFiles::forRunningProgram().clickSound());
        if (!sound.exists() && sound.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            sound.write("RIFF");
        platform::setSoundPlayer([](const QString &) {});
        platform::setMciObserver([this](const QString &) { ++clicks; });
        previousConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    }

    void TearDown() override
    {
        CookieForm->hide();
        ReadOnlyNotice::setHandler({});
        platform::setMciObserver({});
        platform::setSoundPlayer({});
        prefix.reset();
        wininet::setUrlCacheEnvironment(nullptr);
        qputenv("XDG_CONFIG_HOME", previousConfig);
    }

    // The cache layer resolves the prefix once; a new one must be picked up afresh.
    PrefixBuilder &usePrefix(PrefixBuilder::Start start)
    {
        prefix = std::make_unique<PrefixBuilder>(start);
        wininet::setUrlCacheEnvironment(nullptr);
        return *prefix;
    }

    QString cookieFile(const QString &name) const
    {
        return prefix->profile() + '/' + CookiesFolder + '/' + name;
    }

    QStringList cookieFiles() const
    {
        return QDir(prefix->profile() + '/' + CookiesFolder).entryList({"*.txt"}, QDir::Files);
    }

    static QListWidget *cookieList() { return control<QListWidget>(CookieForm, "ListBox1"); }

    static QStringList listed()
    {
        QStringList lines;
        for (int i = 0; i < cookieList()->count(); ++i)
            lines << cookieList()->item(i)->text();
        return lines;
    }

    // The text of one of the window's labels.
    static QString shown(const char *label) { return control<QLabel>(CookieForm, label)->text(); }

    // What a fresh search of the cache finds, apart from the window.
    static QStringList cookiesInCache()
    {
        TIECache cache;
        QStringList names;
        cache.SearchPattern = spCookies;
        cache.OnEntry = [&](QObject *, bool &) { names << cache.Entry.SourceUrlName; };
        cache.RetrieveEntries(0);
        return names;
    }

    // True when the cookie window closed by itself within the time.
    static bool closesByItself()
    {
        QDeadlineTimer deadline(2000);
        while (CookieForm->isVisible() && !deadline.hasExpired())
            QTest::qWait(5);
        return !CookieForm->isVisible();
    }

    static QCheckBox *keepChoice() { return control<QCheckBox>(CookieForm, "CheckBox1"); }

    std::unique_ptr<PrefixBuilder> prefix;
    int clicks = 0;
    QTemporaryDir config;
    QByteArray previousConfig;
    QString keepList = config.filePath("navolis/cookies-to-keep");
};

TEST_F(CookieWindowTest, ListsTheSampleCookiesWithTheirDetails)
{
    usePrefix(PrefixBuilder::Start::Sample);
    ModalAnswerer answerer;
    CookieForm->show();

    EXPECT_EQ(listed(), QStringList({FirstCookie, SecondCookie}));
    EXPECT_EQ(cookieList()->currentRow(), 0);
    EXPECT_EQ(shown("Label11"), line(82, "2"));

    TIECache lookup;
    ASSERT_EQ(lookup.GetEntryInfo(FirstCookie), 0u);
    EXPECT_EQ(shown("Label7"), line(78, QString::number(lookup.Entry.HitRate)));
    EXPECT_EQ(shown("Label8"),
              line(79, QString::number(QFileInfo(cookieFile("95A9DVO0.txt")).size())));
    EXPECT_GT(lookup.Entry.LastAccessTime, 40000.0);
    EXPECT_EQ(shown("Label9"), line(80, CookieTimeText(lookup.Entry.LastAccessTime)));
    // Wine keeps a cookie's expiry only in its text file: the entry's expiry is zero.
    EXPECT_EQ(shown("Label10"), line(81, QString()));

    cookieList()->setCurrentRow(1);
    ASSERT_EQ(lookup.GetEntryInfo(SecondCookie), 0u);
    EXPECT_EQ(shown("Label8"), line(79, QString::number(lookup.Entry.Size)));
    EXPECT_TRUE(answerer.answered().isEmpty());
}

TEST_F(CookieWindowTest, AClickOnTheSelectedCookieShowsItsDetailsAfresh)
{
    usePrefix(PrefixBuilder::Start::Sample);
    ModalAnswerer answerer;
    CookieForm->show();
    const QString hits = shown("Label7");
    control<QLabel>(CookieForm, "Label7")->setText(QStringLiteral("stale"));

    const QRect first = cookieList()->visualItemRect(cookieList()->item(0));
    QTest::mouseClick(cookieList()->viewport(), Qt::LeftButton, {}, first.center());

    EXPECT_EQ(cookieList()->currentRow(), 0);
    EXPECT_EQ(shown("Label7"), hits);
}

TEST_F(CookieWindowTest, DeletingTheSelectedCookieRemovesItsEntryAndItsFile)
{
    usePrefix(PrefixBuilder::Start::Sample);
    ModalAnswerer answerer;
    CookieForm->show();
    cookieList()->setCurrentRow(0);
    CookieForm->Label5Click();

    EXPECT_EQ(listed(), QStringList{SecondCookie});
    EXPECT_EQ(shown("Label11"), line(82, "1"));
    EXPECT_EQ(cookiesInCache(), QStringList{SecondCookie});
    EXPECT_EQ(cookieFiles(), QStringList{"9SBTEVO0.txt"});
    EXPECT_TRUE(CookieForm->isVisible());
    EXPECT_EQ(clicks, 1);

    // Nothing selected: the link does nothing at all.
    cookieList()->setCurrentRow(-1);
    CookieForm->Label5Click();
    EXPECT_EQ(listed(), QStringList{SecondCookie});
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(answerer.answered().isEmpty());
}

// The same flow by keys: the list has the focus, Delete removes the selected cookie as the link
// does, and Tab runs through both links to "zurück", which Enter or Space press.
TEST_F(CookieWindowTest, KeysDeleteTheSelectedCookieAndThenAllAsTheLinksDo)
{
    usePrefix(PrefixBuilder::Start::Sample);
    ModalAnswerer answerer;
    CookieForm->show();
    QApplication::setActiveWindow(CookieForm);
    ASSERT_TRUE(QTest::qWaitForWindowActive(CookieForm));
    ASSERT_EQ(QApplication::focusWidget(), cookieList());

    QTest::keyClick(cookieList(), Qt::Key_Delete);
    EXPECT_EQ(listed(), QStringList{SecondCookie});
    EXPECT_EQ(cookiesInCache(), QStringList{SecondCookie});
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(QApplication::focusWidget(), cookieList());

    QStringList chain;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        chain << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(chain, QStringList({"Label5", "Label6", "CheckBox1", "BitBtn1", "ListBox1"}));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("Label6"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);

    EXPECT_EQ(answerer.answered(), QStringList{Qutrans::get(83)});
    EXPECT_TRUE(closesByItself());
    EXPECT_TRUE(cookiesInCache().isEmpty());
}

TEST_F(CookieWindowTest, DeletingAllSaysNoneAreLeftAndTheWindowClosesItself)
{
    usePrefix(PrefixBuilder::Start::Sample);
    ModalAnswerer answerer;
    CookieForm->show();
    CookieForm->Label6Click();

    EXPECT_EQ(answerer.answered(), QStringList{Qutrans::get(83)});
    EXPECT_TRUE(closesByItself());
    EXPECT_TRUE(cookiesInCache().isEmpty());
    EXPECT_TRUE(cookieFiles().isEmpty());
    // The content cache is not touched.
    TIECache content;
    EXPECT_EQ(content.GetEntryInfo("http://www.example.com/index.html"), 0u);
}

TEST_F(CookieWindowTest, WithoutCookiesTheCountIsZeroAndTheWindowClosesWithAClick)
{
    usePrefix(PrefixBuilder::Start::Minimal);
    ModalAnswerer answerer;
    CookieForm->show();

    EXPECT_TRUE(cookieList()->count() == 0);
    EXPECT_EQ(shown("Label11"), line(82, "0"));
    EXPECT_EQ(answerer.answered(), QStringList{Qutrans::get(83)});
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(closesByItself());
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(CookieForm->CloseTimer->isActive());
}

TEST_F(CookieWindowTest, OpeningTwiceListsEachCookieOnce)
{
    usePrefix(PrefixBuilder::Start::Sample);
    ModalAnswerer answerer;
    for (int round = 0; round < 2; ++round) {
        CookieForm->show();
        EXPECT_EQ(listed(), QStringList({FirstCookie, SecondCookie})) << "round " << round;
        EXPECT_EQ(shown("Label11"), line(82, "2"));
        CookieForm->BitBtn1Click();
        EXPECT_FALSE(CookieForm->isVisible());
    }
}

TEST_F(CookieWindowTest, ExpiryAtLocalMidnightShowsTheDateAlone)
{
    usePrefix(PrefixBuilder::Start::Minimal);
    const QDate day(2031, 3, 14);
    // The cache shifts to local time by today's distance from UTC.
    const qint64 offset = QDateTime::currentDateTime().offsetFromUtc();
    const QDateTime midnightUtc = QDateTime(day, QTime(0, 0), Qt::UTC).addSecs(-offset);
    {
        urlcache::UrlCache cache(urlcache::prefixUrlCacheEnvironment());
        urlcache::CommitRequest request;
        request.url = "Cookie:user@www.example.com/";
        request.extension = "txt";
        request.fileContent = "sid\nabc\nwww.example.com/\n0\n0\n0\n0\n0\n*\n";
        request.expire = platform::fileTimeFromDateTime(midnightUtc);
        ASSERT_TRUE(cache.commitEntry(request));
    }
    wininet::setUrlCacheEnvironment(nullptr);

    ModalAnswerer answerer;
    CookieForm->show();
    ASSERT_EQ(listed(), QStringList{FirstCookie});
    ASSERT_EQ(QLocale::system().name(), QStringLiteral("de_DE"));
    EXPECT_EQ(shown("Label10"), line(81, QStringLiteral("14.03.2031")))
        << "the short date with its four-digit year";
}

TEST_F(CookieWindowTest, UnderARunningWineserverNothingIsDeletedAndNothingClaimed)
{
    PrefixBuilder &builder = usePrefix(PrefixBuilder::Start::Sample);
    builder.holdServerLock();
    int notices = 0;
    ReadOnlyNotice::setHandler([&](const QString &) { ++notices; });
    ModalAnswerer answerer;
    CookieForm->show();

    CookieForm->Label5Click();
    CookieForm->Label6Click();
    DeleteAllCookies();

    EXPECT_EQ(listed(), QStringList({FirstCookie, SecondCookie}));
    EXPECT_EQ(shown("Label11"), line(82, "2"));
    EXPECT_EQ(cookieFiles().size(), 2);
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(answerer.answered(), QStringList{TShowMessage2Form::displayText(Qutrans::get(196))})
        << "removing all repeats why nothing could be removed";
    EXPECT_TRUE(CookieForm->isVisible());
    EXPECT_FALSE(CookieForm->CloseTimer->isActive());
}

TEST_F(CookieWindowTest, UnattendedDeletionRemovesEveryCookieWithoutAWord)
{
    usePrefix(PrefixBuilder::Start::Sample);
    ModalAnswerer answerer;
    DeleteAllCookies();
    EXPECT_TRUE(cookiesInCache().isEmpty());
    EXPECT_TRUE(cookieFiles().isEmpty());
    EXPECT_FALSE(CookieForm->isVisible());
    EXPECT_TRUE(answerer.answered().isEmpty());
    EXPECT_EQ(clicks, 0);
}

// The site is chosen from the line's menu and with the box beside the details; while chosen,
// removing all leaves its cookie, on disk too, and says how many stayed so.
TEST_F(CookieWindowTest, ASiteChosenInTheWindowKeepsItsCookieWhenAllAreRemoved)
{
    usePrefix(PrefixBuilder::Start::Sample);
    ModalAnswerer answerer;
    CookieForm->show();
    QListWidget *list = cookieList();
    EXPECT_FALSE(keepChoice()->isChecked());
    EXPECT_TRUE(list->item(0)->icon().isNull()) << "no list, no marks";

    list->customContextMenuRequested(list->visualItemRect(list->item(1)).center());
    ASSERT_TRUE(CookieForm->PopupMenu1->isVisible());
    EXPECT_EQ(list->currentRow(), 1) << "the menu is the line's under the pointer";
    EXPECT_EQ(CookieForm->KeepSite1->text(), Qutrans::get(214));
    EXPECT_TRUE(CookieForm->KeepSite1->isEnabled());
    EXPECT_FALSE(CookieForm->ForgetSite1->isEnabled());
    CookieForm->KeepSite1->trigger();
    CookieForm->PopupMenu1->hide();

    EXPECT_EQ(files::read(keepList), "shop.example.net\n");
    EXPECT_TRUE(keepChoice()->isChecked());
    EXPECT_FALSE(list->item(1)->icon().isNull());
    EXPECT_EQ(list->item(1)->toolTip(), Qutrans::get(216));
    EXPECT_TRUE(list->item(0)->toolTip().isEmpty());
    EXPECT_EQ(listed(), QStringList({FirstCookie, SecondCookie})) << "each line stays its key";

    CookieForm->Label6Click();
    EXPECT_EQ(listed(), QStringList{SecondCookie});
    EXPECT_EQ(cookiesInCache(), QStringList{SecondCookie});
    EXPECT_EQ(cookieFiles(), QStringList{"9SBTEVO0.txt"});
    EXPECT_EQ(answerer.answered(),
              QStringList{TShowMessage2Form::displayText(Qutrans::get(217) + " 1")});
    EXPECT_TRUE(CookieForm->isVisible());

    ASSERT_TRUE(keepChoice()->isChecked());
    keepChoice()->click();
    EXPECT_EQ(files::read(keepList), "");
    EXPECT_TRUE(list->item(0)->icon().isNull());
    keepChoice()->click();
    EXPECT_EQ(files::read(keepList), "shop.example.net\n");

    // Unticking a cookie kept through a site above it leaves that site's line, and says so.
    files::write(keepList, "example.net\n");
    CookieForm->hide();
    CookieForm->show();
    list->setCurrentRow(0);
    ASSERT_TRUE(keepChoice()->isChecked());
    keepChoice()->click();
    EXPECT_EQ(files::read(keepList), "example.net\n");
    EXPECT_TRUE(keepChoice()->isChecked());
    EXPECT_EQ(answerer.answered().last(),
              TShowMessage2Form::displayText(Qutrans::get(227) + "\rexample.net"));

    // Chosen one by one, a kept cookie goes all the same.
    CookieForm->Label5Click();
    EXPECT_TRUE(cookieFiles().isEmpty());
    EXPECT_TRUE(closesByItself());
}

// A list that cannot be read might name any cookie: removing all removes none, and says why.
TEST_F(CookieWindowTest, AListThatCannotBeReadRemovesNoCookie)
{
    usePrefix(PrefixBuilder::Start::Sample);
    files::write(keepList, "shop.example.net\nwww.example.com/\n");
    ModalAnswerer answerer;
    CookieForm->show();
    EXPECT_FALSE(keepChoice()->isEnabled());

    CookieForm->Label6Click();
    EXPECT_EQ(cookieFiles().size(), 2);
    EXPECT_EQ(listed(), QStringList({FirstCookie, SecondCookie}));
    EXPECT_EQ(answerer.answered(),
              QStringList{TShowMessage2Form::displayText(Qutrans::get(218) + '\r' +
                                                         QDir::toNativeSeparators(keepList))});
}

// The whole way from the security panel: busy display, the cookie window, back again.
TEST_F(CookieWindowTest, SecurityPanelLinkShowsTheBusyDisplayThenTheCookieWindow)
{
    usePrefix(PrefixBuilder::Start::Sample);
    Form1->show();
    bool mainHiddenWhileBusy = false;
    QString busyText;
    QTimer probe;
    probe.setInterval(2);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (Form2->isVisible()) {
            busyText = control<QLabel>(Form2, "Label2")->text();
            mainHiddenWhileBusy = !Form1->isVisible();
        }
    });
    probe.start();
    ModalAnswerer answerer;
    bool mainHiddenWhileListing = false;
    QStringList listedWhileOpen;
    answerer.on(CookieForm, [&](QWidget *) {
        mainHiddenWhileListing = !Form1->isVisible();
        listedWhileOpen = listed();
        QMetaObject::invokeMethod(CookieForm, &TCookieForm::BitBtn1Click, Qt::QueuedConnection);
        return true;
    });
    Form1->sicherheitsPanel()->Label16Click();

    EXPECT_EQ(busyText, Qutrans::get(66));
    EXPECT_TRUE(mainHiddenWhileBusy);
    EXPECT_TRUE(mainHiddenWhileListing);
    EXPECT_EQ(listedWhileOpen, QStringList({FirstCookie, SecondCookie}));
    EXPECT_FALSE(CookieForm->isVisible());
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_EQ(Form2->FakeTimer->interval(), TForm2::StoredFakeTimerInterval);

    Form1->sicherheitsPanel()->Image13Click();
    EXPECT_EQ(answerer.answered(), QStringList{"TForm5"});
    EXPECT_EQ(control<QPlainTextEdit>(Form5, "Memo1")->toPlainText(), Qutrans::get(67));
    Form1->hide();
}

} // namespace
