#include "settings/BrowserSettingsStore.h"
#include "PrefixBuilder.h"
#include "platform/registry/KeyPaths.h"

#include <gtest/gtest.h>

namespace {

const BrowserSettingTexts texts{"(blank)", "(no editor)", "(no folder)"};

// The store works on values alone: what the windows show goes in, only what differs from the
// load comes out in the registry.
TEST(BrowserSettingsStore, WritesOnlyWhatTheShownSettingsChanged)
{
    PrefixBuilder prefix(PrefixBuilder::Start::Minimal);
    const QString browser = KeyPaths::InternetExplorer;
    const QString stored = browser.mid(1); // as user.reg names the key
    prefix.value(browser + "\\Main", "Start Page", "about:blank");
    prefix.value(browser + "\\Main", "Print_Background", "no");
    prefix.value(browser + "\\Default HTML Editor\\shell\\edit\\command", "", "C:\\Ed\\ed.exe %1");

    const BrowserSettingValues loaded = BrowserSettingsStore::read(texts);
    ShownBrowserSettings shown = BrowserSettingsStore::shown(loaded, texts);
    EXPECT_EQ(shown.startPage, "about:blank (blank)");
    EXPECT_EQ(shown.htmlEditor, "C:\\Ed\\ed.exe") << "the trailing \" %1\" is not shown";
    EXPECT_EQ(shown.downloadFolder, "(no folder)");
    EXPECT_FALSE(shown.printBackground);
    EXPECT_TRUE(shown.autoSuggest) << "a missing switch is on";

    const QByteArray before = prefix.userReg();
    BrowserSettingsStore::writeChanged(loaded, shown, texts);
    const BrowserSettingValues unchanged = BrowserSettingsStore::read(texts);
    EXPECT_EQ(unchanged.htmlEditor, loaded.htmlEditor) << "an unchanged editor is not rewritten";
    EXPECT_FALSE(prefix.valueNames(stored).contains("Download Directory"))
        << "the stand-in of a missing folder is never stored";

    shown.printBackground = true;
    shown.downloadFolder = "C:\\Daten";
    BrowserSettingsStore::writeChanged(loaded, shown, texts);
    const BrowserSettingValues after = BrowserSettingsStore::read(texts);
    EXPECT_EQ(after.printBackground, "yes");
    EXPECT_EQ(after.downloadFolder, "C:\\Daten");
    EXPECT_EQ(after.startPage, "about:blank");
    EXPECT_TRUE(prefix.valueNames(stored + "\\Main").contains("Print_Background"));
    EXPECT_NE(prefix.userReg(), before);
}

} // namespace
