#pragma once

#include <QString>

// The eight browser settings as the last load read them, after the replacements for display.
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

// The panel's and the autocomplete window's controls are the working copy; a save compares
// them with this to decide what to write.
extern BrowserSettingValues BrowserSettingsSnapshot;

// Reads the eight settings from the registry into the snapshot and the controls.
void LoadBrowserSettings();

// Writes each setting whose control differs from the snapshot; callers reload right after.
void SaveBrowserSettings();
