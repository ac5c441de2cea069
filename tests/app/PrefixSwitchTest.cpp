// The main window shows the prefix it works on and switches to another without a restart:
// every panel and window then reads the new one.

#include "Controls.h"
#include "app/PrefixBar.h"
#include "app/WindowSetFixture.h"
#include "browserdata/FavoritesListView.h"
#include "platform/prefix/Prefix.h"
#include "privacy/u_cookieForm.h"

#include <QComboBox>
#include <QLabel>

namespace {

class PrefixSwitchTest : public PrefixWindowTest
{
protected:
    QString dotWine = testenv::home() + "/.wine";

    void TearDown() override
    {
        CookieForm->hide();
        QDir(dotWine).removeRecursively();
        PrefixWindowTest::TearDown();
    }

    static int favourites()
    {
        return Form1->favoritenPanel()->favoritesList()->model()->rowCount();
    }
};

TEST_F(PrefixSwitchTest, TheChosenPrefixIsShownAndEveryPanelReadsIt)
{
    // WINEPREFIX, without cookies or favourites, with a start page of its own
    usePrefix(PrefixBuilder::Start::Minimal)
        .value("Software\\Microsoft\\Internet Explorer\\Main", "Start Page",
               "http://minimal-start.example/");
    PrefixBuilder::copySampleTo(dotWine);
    QDir().mkpath(dotWine + "/drive_c/users/user/Favorites");
    QFile link(dotWine + "/drive_c/users/user/Favorites/Example.url");
    ASSERT_TRUE(link.open(QIODevice::WriteOnly));
    link.write("[InternetShortcut]\r\nURL=http://www.example.com/\r\n");
    link.close();
    Form1->Timer1Timer();
    QComboBox *box = Form1->PrefixBar1->PrefixBox;
    EXPECT_EQ(Form1->PrefixBar1->PrefixPath->toolTip(), prefix->root());
    const int sample = box->findData(dotWine);
    ASSERT_GE(sample, 0);
    ASSERT_GE(box->findData(prefix->root()), 0);
    EXPECT_EQ(box->itemText(sample), "wine (wine)");
    EXPECT_EQ(favourites(), 0);
    const auto startPage = [] { return control<QLabel>(Form1, "Label50")->text(); };
    EXPECT_EQ(startPage(), "http://minimal-start.example/");

    box->setCurrentIndex(sample);
    emit box->activated(sample);

    EXPECT_EQ(Prefix::target().root(), dotWine);
    EXPECT_EQ(Form1->PrefixBar1->PrefixPath->toolTip(), dotWine);
    EXPECT_GT(favourites(), 0);
    EXPECT_NE(startPage(), "http://minimal-start.example/") << "the settings are the sample's";
    CookieForm->show();
    EXPECT_EQ(control<QListWidget>(CookieForm, "ListBox1")->count(), 2);
}

} // namespace
