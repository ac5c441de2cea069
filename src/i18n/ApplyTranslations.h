#pragma once

#include <QString>

// Program-wide addresses used by the links; set by ApplyTranslations.
extern QString WebSiteAddress;
extern QString MailAddress;

// Puts the current language's texts into every window, once, at start-up.
void ApplyTranslations();
