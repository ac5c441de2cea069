#pragma once

// What every window shares of the main window's navigation.

// The click that accompanies almost every click in the program: "clck.wav" beside the program.
void PlayClickSound();

// Hides all seven panels of the main window.
void HideAllPanels();
