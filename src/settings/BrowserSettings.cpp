#include "settings/BrowserSettings.h"

void LoadBrowserSettings()
{
    // The settings store fills the panel's controls once it is connected to the registry.
}
