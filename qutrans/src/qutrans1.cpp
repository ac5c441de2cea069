// Placeholder until the language data lands: every text is empty, one language.
#include "qutrans1.h"

extern "C" {
void start(void) {}
const char *get(int32_t) { return ""; }
int32_t SetLanguage(const char *, int32_t) { return 0; }
const char *GetLanguage(void) { return "ENGLISH"; }
int32_t CountLang(void) { return 1; }
const char *AvailableLanguages(int32_t index) { return index == 0 ? "ENGLISH" : ""; }
}
