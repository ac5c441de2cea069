#pragma once

// Hides all seven panels of the main window.
void HideAllPanels();
