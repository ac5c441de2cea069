/* libQuTrans1: the texts of Navolis by number, in the user's language.
 * Strings are UTF-8 and owned by the library; a returned pointer stays valid
 * until the process ends. */
#ifndef QUTRANS1_H
#define QUTRANS1_H

#include <stdint.h>

#if defined(__GNUC__)
#define QUTRANS_API __attribute__((visibility("default")))
#else
#define QUTRANS_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Reads the definition file and loads the current language. Call once before the others. */
QUTRANS_API void start(void);

/* The text of that number in the current language; "" for an unknown number. */
QUTRANS_API const char *get(int32_t number);

/* Makes the named language current for this and later runs, and places its help and
 * documentation files beside the program. flags is reserved and must be 0.
 * Returns 0 on success. */
QUTRANS_API int32_t SetLanguage(const char *name, int32_t flags);

/* The current language's name, as AvailableLanguages spells it. */
QUTRANS_API const char *GetLanguage(void);

/* How many languages there are. */
QUTRANS_API int32_t CountLang(void);

/* The name of the language at that index (0 .. CountLang() - 1), in a stable order;
 * "" outside that range. */
QUTRANS_API const char *AvailableLanguages(int32_t index);

#ifdef __cplusplus
}
#endif

#endif
