#pragma once

// Reads the eight browser settings from the registry into the settings panel's controls.
void LoadBrowserSettings();
