#include "settings/BrowserSettings.h"

#include "app/WindowSet.h"
#include "app/u_Navolis.h"
#include "dialogs/u_ShowMessage2.h"
#include "i18n/Qutrans.h"
#include "platform/prefix/ReadOnlyNotice.h"
#include "settings/IEPowerPanel.h"
#include "settings/u_autocomplete.h"

BrowserSettingValues BrowserSettingsSnapshot;

namespace {

BrowserSettingTexts displayTexts()
{
    return {Qutrans::get(152), Qutrans::get(172), Qutrans::get(171)};
}

} // namespace

// Setting the boxes raises no click, so loading never leads to a save.
void LoadBrowserSettings()
{
    const BrowserSettingTexts texts = displayTexts();
    BrowserSettingsSnapshot = BrowserSettingsStore::read(texts);
    const ShownBrowserSettings shown = BrowserSettingsStore::shown(BrowserSettingsSnapshot, texts);
    Form6->ShowSwitches(shown);
    Form1->iePowerPanel()->ShowSettings(shown);
}

bool SaveBrowserSettings()
{
    ShownBrowserSettings shown = Form1->iePowerPanel()->ShownSettings();
    Form6->TakeSwitches(shown);
    return BrowserSettingsStore::writeChanged(BrowserSettingsSnapshot, shown, displayTexts());
}

void SaveAndReloadBrowserSettings()
{
    const bool noticeBefore = ReadOnlyNotice::wasGiven();
    const bool saved = SaveBrowserSettings();
    LoadBrowserSettings();
    // Wine's running server has just been named as the reason: that says it already.
    if (!saved && (noticeBefore || !ReadOnlyNotice::wasGiven()))
        ShowMessage2(Qutrans::get(209));
}
