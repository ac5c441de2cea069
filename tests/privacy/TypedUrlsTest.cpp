#include "Controls.h"
#include "app/WindowSetFixture.h"

#include "Controls.h"
#include "ImmutableFile.h"
#include "ModalAnswerer.h"
#include "PrefixBuilder.h"
#include "app/Automations.h"
#include "controls/ClickLabel.h"
#include "dialogs/u_ShowMessage2.h"
#include "i18n/Qutrans.h"
#include "platform/prefix/ReadOnlyNotice.h"
#include "platform/registry/RegHive.h"
#include "privacy/u_TypedURLs.h"

#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>

namespace {

const QString keyPath = QStringLiteral("Software\\Microsoft\\Internet Explorer\\TypedURLs");
constexpr quint32 regBinary = 3;
constexpr quint32 regDword = 4;

QString message(int number)
{
    return TShowMessage2Form::displayText(Qutrans::get(number));
}

// Reads user.reg itself, apart from the program's registry layer.
struct StoredKey
{
    bool exists = false;
    QStringList values;
    int subkeys = 0;
};

StoredKey storedKey(const PrefixBuilder &prefix, const QString &path = keyPath)
{
    StoredKey stored;
    const auto hive = RegHive::parse(prefix.userReg());
    const RegHive::Key *key = hive->findKey(path.split('\\'));
    if (!key)
        return stored;
    stored.exists = true;
    for (const RegHive::Value *value : key->values())
        stored.values << value->name();
    stored.subkeys = key->subkeyCount();
    return stored;
}

// Waits on the open typed-address window until its list is filled, keeps what it lists,
// then does `then`, posted so that windows it opens are answered too. A window that never
// fills its list gets `then` after two seconds.
ModalAnswerer::Step readList(QStringList &listed, std::function<void()> then)
{
    auto clock = std::make_shared<QElapsedTimer>();
    return [&listed, then, clock](QWidget *) {
        if (!clock->isValid())
            clock->start();
        const QListWidget *list = control<QListWidget>(TypedURLsForm, "ListBox2");
        const bool listing = TypedURLsForm->Timer1->isActive() || list->count() == 0;
        if (listing && clock->elapsed() < 2000)
            return false;
        for (int i = 0; i < list->count(); ++i)
            listed << list->item(i)->text();
        QMetaObject::invokeMethod(TypedURLsForm, then, Qt::QueuedConnection);
        return true;
    };
}

class TypedUrlsTest : public WindowSetTest
{
protected:
    void SetUp() override
    {
        Form1->show();
        ReadOnlyNotice::setHandler([](const QString &) { ShowMessage2(Qutrans::get(196)); });
    }

    void TearDown() override { ReadOnlyNotice::setHandler({}); }
};

TEST_F(TypedUrlsTest, MissingKeyIsCreatedEmptyThenReportedAndTheWindowCloses)
{
    PrefixBuilder prefix(PrefixBuilder::Start::Minimal);
    ASSERT_FALSE(storedKey(prefix).exists);
    ModalAnswerer answerer;
    QStringList listed;
    answerer.on(TypedURLsForm, readList(listed, [] { TypedURLsForm->close(); }));

    emit control<ClickLabel>(Form1, "Label25")->clicked();

    EXPECT_EQ(answerer.answered(), QStringList{message(98)});
    EXPECT_TRUE(listed.isEmpty());
    const StoredKey stored = storedKey(prefix);
    EXPECT_TRUE(stored.exists);
    EXPECT_TRUE(stored.values.isEmpty());
    EXPECT_FALSE(TypedURLsForm->isVisible());
    EXPECT_TRUE(Form1->isVisible());
}

TEST_F(TypedUrlsTest, ListsTheAddressesInStoredOrderAndCloses)
{
    PrefixBuilder prefix;
    QByteArray text = prefix.userReg();
    const QByteArray last = "\"url2\"=\"news.example.org\"\n";
    ASSERT_TRUE(text.contains(last));
    prefix.writeUserReg(text.replace(last, last + "\"a\"=\"aaa.example.net\"\n"));
    ModalAnswerer answerer;
    QStringList listed;
    answerer.on(TypedURLsForm,
                readList(listed, [] { control<QPushButton>(TypedURLsForm, "BitBtn1")->click(); }));

    emit control<ClickLabel>(Form1, "Label25")->clicked();

    EXPECT_EQ(listed,
              (QStringList{"http://www.example.com/", "news.example.org", "aaa.example.net"}));
    EXPECT_TRUE(answerer.answered().isEmpty());
    EXPECT_TRUE(Form1->isVisible());
}

TEST_F(TypedUrlsTest, NonStringValueHidesTheRestButTheLinkDeletesEveryValue)
{
    PrefixBuilder prefix;
    prefix.rawValue(keyPath, "url3", regDword, QByteArray("\1\0\0\0", 4));
    prefix.value(keyPath, "url4", "after.example.com");
    ModalAnswerer answerer;
    QStringList listed;
    answerer.on(TypedURLsForm, readList(listed, [] {
                    emit control<ClickLabel>(TypedURLsForm, "Label6")->clicked();
                }));

    QElapsedTimer clock;
    clock.start();
    emit control<ClickLabel>(Form1, "Label25")->clicked();

    EXPECT_EQ(listed, (QStringList{"http://www.example.com/", "news.example.org"}));
    EXPECT_EQ(answerer.answered(), QStringList{message(97)});
    EXPECT_GE(clock.elapsed(), 200 + 99 * 12) << "no busy display";
    const StoredKey stored = storedKey(prefix);
    EXPECT_TRUE(stored.exists);
    EXPECT_TRUE(stored.values.isEmpty()) << stored.values.join(", ").toStdString();
    EXPECT_FALSE(TypedURLsForm->isVisible());
    EXPECT_TRUE(Form1->isVisible());
}

TEST_F(TypedUrlsTest, UnattendedDeletionRemovesEveryValueButNeverTheKey)
{
    PrefixBuilder prefix;
    prefix.value(keyPath, "", "default value");
    prefix.value(keyPath, "MRUList", "ba");
    prefix.rawValue(keyPath, "url9", regBinary, QByteArray("\0\1\2", 3));
    prefix.value(keyPath + "\\Below", "kept", "below the key");
    ModalAnswerer answerer;

    ClearTypedUrls();

    const StoredKey stored = storedKey(prefix);
    EXPECT_TRUE(stored.exists);
    EXPECT_TRUE(stored.values.isEmpty()) << stored.values.join(", ").toStdString();
    EXPECT_EQ(stored.subkeys, 1);
    EXPECT_EQ(storedKey(prefix, keyPath + "\\Below").values, QStringList{"kept"});
    EXPECT_TRUE(answerer.answered().isEmpty());
}

// Wine holds the registry: nothing may be reported as deleted.
TEST_F(TypedUrlsTest, RefusedDeletionKeepsTheValuesAndGivesTheNoticeEveryTime)
{
    PrefixBuilder prefix;
    prefix.holdServerLock();
    const QByteArray before = prefix.userReg();
    ModalAnswerer answerer;

    emit control<ClickLabel>(Form1, "Label23")->clicked();
    EXPECT_EQ(answerer.answered(), QStringList{message(196)});
    emit control<ClickLabel>(Form1, "Label23")->clicked();

    EXPECT_EQ(answerer.answered(), (QStringList{message(196), message(196)}));
    EXPECT_EQ(prefix.userReg(), before);
    EXPECT_TRUE(Form1->isVisible());
}

// The deletions are saved when the key is closed: a save that fails (a file nobody may replace)
// once left the window saying the addresses were deleted.
TEST_F(TypedUrlsTest, DeletionThatCannotBeSavedIsNoDeletion)
{
    PrefixBuilder prefix;
    ASSERT_FALSE(storedKey(prefix).values.isEmpty());
    const QByteArray before = prefix.userReg();
    const ImmutableFile fixed(prefix.userRegPath());
    if (!fixed.held())
        GTEST_SKIP() << "needs root and a file system that keeps files immutable";
    ModalAnswerer answerer;

    emit control<ClickLabel>(Form1, "Label23")->clicked();
    EXPECT_FALSE(ClearTypedUrls());

    EXPECT_EQ(answerer.answered(), QStringList{message(197)});
    EXPECT_EQ(prefix.userReg(), before);
}

} // namespace
