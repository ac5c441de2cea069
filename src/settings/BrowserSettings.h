#pragma once

#include "settings/BrowserSettingsStore.h"

// The eight settings as the last load read them; a save compares what the settings panel and
// the autocomplete window show with this to decide what to write.
extern BrowserSettingValues BrowserSettingsSnapshot;

// Reads the eight settings from the registry into the snapshot and the windows.
void LoadBrowserSettings();

// Writes each setting the windows show changed; false when one could not be saved. Callers
// reload right after.
bool SaveBrowserSettings();

// Saves, reloads, and when a change could not be saved says so over the stored values that the
// windows then show again.
void SaveAndReloadBrowserSettings();
