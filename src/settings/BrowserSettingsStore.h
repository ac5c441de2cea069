#pragma once

#include <QString>

// The eight browser settings as a load read them from the registry, with the stand-ins of the
// display for missing ones: an editor command shorter than six characters reads as the "no
// editor" text, a missing download folder as the "no folder" text.
struct BrowserSettingValues
{
    QString startPage;
    QString htmlEditor;
    QString downloadFolder;
    QString autoSuggest;
    QString formSuggestPasswords;
    QString useFormSuggest;
    QString notifyDownloadComplete;
    QString printBackground;
};

// The settings as the settings panel and the autocomplete window show them and the user
// changes them.
struct ShownBrowserSettings
{
    // The address; the blank page with its explanation after it.
    QString startPage;
    // The command without its trailing " %1".
    QString htmlEditor;
    QString downloadFolder;
    bool autoSuggest = false;
    bool formSuggestPasswords = false;
    bool useFormSuggest = false;
    bool notifyDownloadComplete = false;
    bool printBackground = false;
};

// The translated texts the display uses in place of a setting.
struct BrowserSettingTexts
{
    // Shown after "about:blank".
    QString blankPageNote;
    QString noEditor;
    QString noFolder;
};

namespace BrowserSettingsStore {

BrowserSettingValues read(const BrowserSettingTexts &texts);

// A switch is on unless its value is "no", a missing value included.
ShownBrowserSettings shown(const BrowserSettingValues &values, const BrowserSettingTexts &texts);

// Writes each setting whose shown form differs from what the load read; nothing else. False
// when one of them could not be saved.
bool writeChanged(const BrowserSettingValues &loaded, const ShownBrowserSettings &shown,
                  const BrowserSettingTexts &texts);

} // namespace BrowserSettingsStore
