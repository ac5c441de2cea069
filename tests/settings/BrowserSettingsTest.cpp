#include "SettingsTestSupport.h"

#include "settings/u_autocomplete.h"

using namespace settingstest;

namespace {

class BrowserSettingsTest : public SettingsTest
{
};

TEST_F(BrowserSettingsTest, EmptyPrefixShowsDefaultsCreatesTheKeysAndWritesNothing)
{
    PrefixBuilder prefix(PrefixBuilder::Start::Minimal);

    LoadBrowserSettings();

    EXPECT_EQ(Form1->Label50->text(), QString());
    EXPECT_EQ(Form1->Label61->text(), Qutrans::get(172));
    EXPECT_EQ(Form1->Label54->text(), Qutrans::get(171));
    EXPECT_EQ(Form1->BrowseForFolderStartupPath, Qutrans::get(171));
    for (QCheckBox *box :
         {Form6->CheckBox2, Form6->CheckBox1, Form6->CheckBox3, Form1->CheckBox1, Form1->CheckBox3})
        EXPECT_TRUE(box->isChecked()) << box->objectName().toStdString();
    for (const QString &key : {mainKey, editorKey, autoCompleteKey})
        EXPECT_TRUE(keyExists(prefix, key)) << key.toStdString();
    EXPECT_FALSE(stored(prefix, editorKey, QString()));
    EXPECT_FALSE(stored(prefix, browserKey, "Download Directory"));

    const QByteArray before = prefix.userReg();
    SaveBrowserSettings();
    EXPECT_EQ(prefix.userReg(), before) << "the replacement texts are never written";
}

TEST_F(BrowserSettingsTest, OnlyTheExactNoIsOffAndAClickWritesTheOpposite)
{
    PrefixBuilder prefix(PrefixBuilder::Start::Minimal);
    prefix.value(autoCompleteKey, "AutoSuggest", "no");
    prefix.value(mainKey, "FormSuggest Passwords", "No");
    prefix.value(mainKey, "Use FormSuggest", "0");
    prefix.value(mainKey, "Print_Background", "NO ");
    prefix.rawValue(mainKey, "NotifyDownloadComplete", 4, QByteArray("\0\0\0\0", 4));
    LoadBrowserSettings();

    EXPECT_FALSE(Form6->CheckBox2->isChecked());
    EXPECT_TRUE(Form6->CheckBox1->isChecked());
    EXPECT_TRUE(Form6->CheckBox3->isChecked());
    EXPECT_TRUE(Form1->CheckBox1->isChecked()) << "a value that is not a string counts as missing";
    EXPECT_TRUE(Form1->CheckBox3->isChecked());

    Form6->CheckBox2->click();
    EXPECT_EQ(stored(prefix, autoCompleteKey, "AutoSuggest"), "yes");
    Form6->CheckBox1->click();
    EXPECT_EQ(stored(prefix, mainKey, "FormSuggest Passwords"), "no");
    EXPECT_EQ(stored(prefix, mainKey, "Use FormSuggest"), "0") << "an unclicked switch is kept";
    EXPECT_EQ(stored(prefix, mainKey, "Print_Background"), "NO ");
    EXPECT_TRUE(Form6->CheckBox2->isChecked());
    EXPECT_FALSE(Form6->CheckBox1->isChecked());
}

TEST_F(BrowserSettingsTest, MissingSwitchTurnedOffWritesNoAndOnAgainYes)
{
    PrefixBuilder prefix(PrefixBuilder::Start::Minimal);
    LoadBrowserSettings();

    Form1->CheckBox3->click();
    EXPECT_EQ(stored(prefix, mainKey, "Print_Background"), "no");
    EXPECT_FALSE(Form1->CheckBox3->isChecked());
    Form1->CheckBox3->click();
    EXPECT_EQ(stored(prefix, mainKey, "Print_Background"), "yes");
    EXPECT_TRUE(Form1->CheckBox3->isChecked());
    EXPECT_FALSE(stored(prefix, mainKey, "NotifyDownloadComplete"));
}

TEST_F(BrowserSettingsTest, BlankStartPageCarriesTheNoteButIsStoredPlain)
{
    PrefixBuilder prefix;
    LoadBrowserSettings();
    EXPECT_EQ(Form1->Label50->text(), "about:blank " + Qutrans::get(152));

    SaveBrowserSettings();
    EXPECT_EQ(stored(prefix, mainKey, "Start Page"), "about:blank");

    emit Form1->Label50->clicked();
    EXPECT_EQ(opened, QStringList{"about:blank " + Qutrans::get(152)});

    prefix.value(mainKey, "Start Page", "About:Blank");
    LoadBrowserSettings();
    EXPECT_EQ(Form1->Label50->text(), "About:Blank");
}

TEST_F(BrowserSettingsTest, EditorCommandsAreShownAndKeptAsStored)
{
    PrefixBuilder prefix(PrefixBuilder::Start::Minimal);
    prefix.value(editorKey, "", "C:\\Tools\\ed.exe %1");
    LoadBrowserSettings();
    EXPECT_EQ(Form1->Label61->text(), "C:\\Tools\\ed.exe");
    QByteArray before = prefix.userReg();
    SaveBrowserSettings();
    EXPECT_EQ(prefix.userReg(), before);

    // Saving another setting leaves a command of another shape alone.
    prefix.value(editorKey, "", "\"C:\\Tools\\ed.exe\" \"%1\"");
    LoadBrowserSettings();
    EXPECT_EQ(Form1->Label61->text(), "\"C:\\Tools\\ed.exe\" \"%1\"");
    Form1->CheckBox1->click();
    EXPECT_EQ(stored(prefix, editorKey, ""), "\"C:\\Tools\\ed.exe\" \"%1\"");

    prefix.value(editorKey, "", "ed %1");
    LoadBrowserSettings();
    EXPECT_EQ(Form1->Label61->text(), Qutrans::get(172));
    Form1->CheckBox1->click();
    EXPECT_EQ(stored(prefix, editorKey, ""), "ed %1");
}

} // namespace
